#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace tavrin {

class Context;
class NewTitleBox;

// The hub window. Its load step opens the run in the log; closing it ends the program.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(Context& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The eight names joined by "|", read by the other windows.
    const QString& BookConfig() const { return bookConfig_; }

    // Window-level values read by the other windows.
    QString BookTxtDir;
    QString XmlDir;
    int NormalGrey = 0;
    int HoverGrey = 0;
    int FadeStartGrey = 0;
    QString ProjectPath;
    QString PickPurpose;
    QString TitleMode;
    int PopupPanel = 0;

    // Title handler of the New title box: creates by TitleMode with the typed title.
    void tupd();
    // Shows the New title box for a mode, then empties its text.
    void askTitle(const QString& mode);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void load();
    void unload();

    Context& context_;
    QString bookConfig_;
    NewTitleBox* titleBox_ = nullptr;
    bool unloaded_ = false;
};

} // namespace tavrin
