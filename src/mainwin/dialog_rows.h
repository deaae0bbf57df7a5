#pragma once

#include <QString>
#include <functional>

class QAbstractTableModel;
class QButtonGroup;
class QDialog;
class QLayout;
class QRadioButton;
class QHBoxLayout;
class QLineEdit;
class QTableView;
class QToolButton;

namespace tavrin {

// The output dialogs' last rows: a path box, left to right, with its "..." button; and
// the row of the dialog's own button and Cancel, its button accepting only with a path typed.
// A choice of a group, added to the layout.
QRadioButton* option(QButtonGroup* group, QLayout* layout, const char* name, const QString& text,
                     int id);

struct PathRow {
    QHBoxLayout* layout = nullptr;
    QLineEdit* box = nullptr;
    QToolButton* browse = nullptr;
};
PathRow pathRow(const QString& label, const QString& shownPath, const char* boxName,
                const char* browseName);
// The same added to a layout, the path shown as a box shows it, its "..." calling `browse`.
PathRow addPathRow(QLayout* layout, const QString& label, const QString& path, const char* boxName,
                   const char* browseName, const std::function<void(QLineEdit*)>& browse);
QHBoxLayout* okCancelRow(QDialog* dialog, const QLineEdit* path, const QString& okText,
                         const char* okName, const char* cancelName);
// The same row, its button calling `onOk`.
QHBoxLayout* okCancelRow(QDialog* dialog, const QString& okText, const char* okName,
                         const char* cancelName, const std::function<void()>& onOk);

// A table of results: whole rows selected, read only, sorted by a click on its header.
QTableView* resultTable(const char* name);
// The model shown in the table (which owns it from then), sorted by its first column in the
// order of its Qt::UserRole values, the columns fitted to their contents.
void showSorted(QTableView* view, QAbstractTableModel* model);

} // namespace tavrin
