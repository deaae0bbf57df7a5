#include "mainwin/dialog_rows.h"

#include "platform/persian_text.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>

namespace tavrin {

QRadioButton* option(QButtonGroup* group, QLayout* layout, const char* name, const QString& text,
                     int id) {
    auto* button = new QRadioButton(text);
    button->setObjectName(QLatin1String(name));
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

PathRow pathRow(const QString& label, const QString& shownPath, const char* boxName,
                const char* browseName) {
    PathRow row;
    row.layout = new QHBoxLayout;
    row.layout->addWidget(new QLabel(label));
    row.box = new QLineEdit(shownPath);
    row.box->setObjectName(QLatin1String(boxName));
    row.box->setLayoutDirection(Qt::LeftToRight);
    row.box->setMinimumWidth(360);
    row.layout->addWidget(row.box);
    row.browse = new QToolButton;
    row.browse->setObjectName(QLatin1String(browseName));
    row.browse->setText(QStringLiteral("..."));
    row.browse->setToolTip(QStringLiteral(u"انتخاب پوشه"));
    row.layout->addWidget(row.browse);
    return row;
}

PathRow addPathRow(QLayout* layout, const QString& label, const QString& path, const char* boxName,
                   const char* browseName, const std::function<void(QLineEdit*)>& browse) {
    PathRow r = pathRow(label, pathShown(QDir::toNativeSeparators(path)), boxName, browseName);
    QObject::connect(r.browse, &QToolButton::clicked, r.browse,
                     [box = r.box, browse] { browse(box); });
    if (auto* box = qobject_cast<QBoxLayout*>(layout))
        box->addLayout(r.layout);
    return r;
}

QTableView* resultTable(const char* name) {
    auto* view = new QTableView;
    view->setObjectName(QLatin1String(name));
    view->setSortingEnabled(true);
    view->setLayoutDirection(Qt::RightToLeft);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

void showSorted(QTableView* view, QAbstractTableModel* model) {
    auto* sorted = new QSortFilterProxyModel(view);
    sorted->setSourceModel(model);
    sorted->setSortRole(Qt::UserRole);
    model->setParent(sorted);
    delete view->model();
    view->setModel(sorted);
    view->sortByColumn(0, Qt::AscendingOrder);
    view->resizeColumnsToContents();
}

QHBoxLayout* okCancelRow(QDialog* dialog, const QString& okText, const char* okName,
                         const char* cancelName, const std::function<void()>& onOk) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(okText);
    ok->setObjectName(QLatin1String(okName));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral(u"انصراف"));
    cancel->setObjectName(QLatin1String(cancelName));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttons;
}

QHBoxLayout* okCancelRow(QDialog* dialog, const QLineEdit* path, const QString& okText,
                         const char* okName, const char* cancelName) {
    return okCancelRow(dialog, okText, okName, cancelName, [dialog, path] {
        if (!pathTyped(path->text()).trimmed().isEmpty())
            dialog->accept();
    });
}

} // namespace tavrin
