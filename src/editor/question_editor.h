#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QMenu;
class QPushButton;
class QToolButton;

namespace tavrin {

class Context;
class QuestionEditorHost;
class FormulaPreview;
class RichTextBox;

// "Edit paragraph": one entry of the formatter's table, its question, answers and
// explanation, an attached file, sound and film, a background picture. Filled by the
// host's ShowEdit (the formatter's) when it opens and written back by DoEdit when saved.
// Closing it by its close box or Escape after a change asks first: save, discard or stay.
class QuestionEditor : public QDialog {
    Q_OBJECT
public:
    QuestionEditor(Context& context, QuestionEditorHost& host, QWidget* parent);

    RichTextBox* Soal() const { return soal_; }
    RichTextBox* Javab() const { return javab_; }
    RichTextBox* Tozih() const { return tozih_; }
    QLineEdit* picB() const { return picB_; }
    QLineEdit* soutB() const { return soutB_; }
    QLineEdit* filmB() const { return filmB_; }

    // The background box: the path it remembers (empty when none) and its picture.
    QString backPath() const { return backPath_; }
    void setBackPath(const QString& path);
    void clearBackground();
    void TgDo();
    // "Cancelled with a positive effect": counts only when answered right.
    bool cancelled() const;
    void setCancelled(bool cancelled);
    // How the question did in the project's analysed exams; empty hides it.
    void setHistory(const QString& text);

    // True when every attachment path given names a file; messages 6, 7, 8 otherwise.
    bool CHK();
    // The button group, by index: 0 delete, 1-3 clear a path, 4 save.
    void buttonClicked(int index);

    QMenu* popM() const { return popM_; }
    // The preview beside the editor (made when first asked for) and its palette's insert into
    // the box last in focus, at its caret.
    void showPreview();
    FormulaPreview* preview() const { return preview_; }
    void insertFormula(int item);

    // What the editor shows now counts as saved (after it was filled).
    void markClean() { clean_ = contents(); }
    bool changed() const { return contents() != clean_; }

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The preview goes with the editor.
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    void buildAttachments(QVBoxLayout* layout);
    void buildMenu();
    void openMenu(int box, const QPoint& at);
    void browse(const QString& purpose, const QString& pattern, int code);
    void backgroundClicked();
    void refreshPreview();
    RichTextBox* target() const;
    // Everything the author can change, to tell a change from none.
    QStringList contents() const;
    // A right click outside the selection puts the caret where it was made, so the menu's
    // commands act on the paragraph under the pointer.
    void caretToPointer(RichTextBox* box, const QPoint& at);

    Context& context_;
    QuestionEditorHost& host_;
    RichTextBox* soal_ = nullptr;
    RichTextBox* javab_ = nullptr;
    RichTextBox* tozih_ = nullptr;
    QLineEdit* picB_ = nullptr;
    QLineEdit* soutB_ = nullptr;
    QLineEdit* filmB_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* questionCaption_ = nullptr;
    QLabel* history_ = nullptr;
    QCheckBox* cancelled_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    FormulaPreview* preview_ = nullptr;
    RichTextBox* lastBox_ = nullptr;
    QTimer previewTimer_;
    QString backPath_;
    std::array<QPushButton*, 5> buttons_{};
    QMenu* popM_ = nullptr;
    QAction* corM_ = nullptr;
    QAction* picM_ = nullptr;
    QAction* copyM_ = nullptr;
    QAction* cutM_ = nullptr;
    QAction* pasteM_ = nullptr;
    QAction* delM_ = nullptr;
    int EditBox = 0; // 1 Soal, 2 Javab, 3 Tozih
    QStringList clean_;
};

} // namespace tavrin
