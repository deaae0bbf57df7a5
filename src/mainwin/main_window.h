#pragma once

#include "export/player_settings.h"
#include "formatter/formatter_host.h"
#include "store/project_settings.h"
#include "store/store_view.h"
#include "undo/edit_history.h"
#include "widgets/fading_panel.h"

#include <QColor>
#include <QDir>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QSpinBox;
class QToolButton;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QListWidget;
class QRadioButton;

namespace tavrin {

class Context;
class NewTitleBox;
class FormatterWindow;
class HoverPicture;

// The hub window: the three lists, their fading action panels, the project settings and
// the picture buttons. Its load step opens the run in the log; closing it ends the program.
// The fading action panels, by the number PopupPanel holds: the three lists' and the
// formatter's input-path panel.
enum PopupPanelNumber : int {
    kProjectsPanel = 1,
    kFieldsPanel = 2,
    kLessonsPanel = 3,
    kInputPathPanel = 4
};

class MainWindow : public QWidget, public StoreView, public FormatterHost {
    Q_OBJECT
public:
    explicit MainWindow(Context& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    void ChekSelect();
    // Title handler of the New title box: creates by TitleMode with the typed title.
    // False when the title was refused, so the box stays open with what was typed.
    bool tupd();
    // Opens a file with the system, in its own folder.
    void RunFile(const QString& path);
    FormatterWindow* formatter();
    // The purpose of the picker opened last and the action panel fading in.
    const QString& pickPurpose() const { return PickPurpose; }
    int popupPanel() const { return PopupPanel; }
    // The title strip is being dragged.
    bool dragging() const { return Dragging; }

    // FormatterHost
    Session& session() override;
    QString bookConfig() const override { return bookConfig_; }
    int normalGrey() const override { return NormalGrey; }
    int hoverGrey() const override { return HoverGrey; }
    void fadeInInputPanel() override;
    void stopPanelFade() override;
    void minimiseWithFormatter() override;
    std::optional<QString> pickFolder(const QString& purpose) override;
    std::optional<QString> pickFile(const QString& purpose, const QString& pattern) override;

    // The window's edits that can be taken back (Ctrl+Z) and done again (Ctrl+Shift+Z).
    EditHistory& edits() override { return history_; }
    // Undo (true) or redo the last edit, as the keys and the edit menu do.
    void undoEdit(bool undo);

    // StoreView
    void setEntries(StoreList list, const QStringList& entries) override;
    void selectEntry(StoreList list, int index) override;
    int selectedIndex(StoreList list) const override;
    QString selectedText(StoreList list) const override;
    QString projectPath() const override { return session_.projectPath; }
    void setProjectPath(const QString& path) override { session_.projectPath = path; }
    void setInputFolder(const QString& path) override { session_.inputFolder = path; }
    void showSettings(const ProjectSettings& settings) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Panel {
        int number = 0;
        QListWidget* list = nullptr;
        QLabel* heading = nullptr;
        QFrame* frame = nullptr;
        QFrame* shape = nullptr;
        std::array<QLabel*, 3> labels{};
        FadingPanel fade;
    };

    void buildWindow();
    void buildTitleStrip();
    void buildLists();
    void buildPanels();
    void buildSettings();
    void buildExamSettings();
    void imageCommand();
    bool freshExport(const QString& last);
    void questionsCommand();
    void paperCommand();
    // The chosen project, its folder's name and the output folder (told to choose one when
    // none is chosen).
    struct ProjectOutput {
        QString project, name;
        QDir exports;
    };
    std::optional<ProjectOutput> projectOutput();
    // A step of the exam's dialogs: a sheet, quiz or file that fails it is logged as `failure`
    // and told by `notice` with its cause; false then.
    bool examStep(int failure, int notice, const std::function<void()>& step);
    void examFailed(int failure, int notice, const QString& why, const QString& persian);
    // Asks before an earlier result in `folder` ("<earlier> هست") is replaced; No by default,
    // and No is logged.
    bool replacesEarlier(const QString& folder, const QString& earlier);
    void analysisCommand();
    void readSheetsCommand();
    void buildPictures();
    void buildKeyboard();
    void load();
    void unload();

    QListWidget* listOf(StoreList list) const;
    void listClicked(StoreList list);
    // Enter, Insert and Delete on a focused list; Enter or Space on a focused picture.
    bool listKey(QListWidget* list, int key);
    bool browseKey(QLabel* picture, int key);
    Panel* panelOfList(const QObject* list);
    void pointerOverList(Panel& panel);
    void pointerOverLabel(QLabel* label);
    void pointerOverFrame1();
    // The event filter's parts: pointer moves, left-button releases, focus in and out.
    void pointerMoved(QObject* watched, const QMouseEvent* event);
    bool buttonReleased(QObject* watched, const QMouseEvent* event);
    void focusChanged(QObject* watched, bool in);
    void closePanel(Panel& panel);
    void fadeInPanel(int panel);
    void timer1Tick();
    void timer2Tick();
    void fadeStep();
    Panel* panelOfLabel(const QLabel* label);
    void actionClicked(QLabel* label);
    void pictureClicked(QObject* picture);
    void musicOptionChanged();
    // Settings: what the controls hold, and each change written back to the project.
    SettingsChoice settingsChoice() const;
    void connectSettingsKeeping();
    void keepSetting(const QString& tag, const QString& value);
    void pathChosen(QLineEdit* box, const QString& path);
    void pickInto(QLineEdit* box, const QString& purpose, const QString& pattern);
    QString settingTagOf(const QLineEdit* box) const;
    // The output button: settings saved, then the CD folder exported.
    // True when an export was made; the player is started after it only when asked.
    bool exportCommand(bool startPlayer = true);
    void askTitle(const QString& mode);
    // The scoring dialog: what the author chose, written element by element.
    void scoringCommand();

    // Where the lists stand: the rows selected in each, -1 for none.
    struct Places {
        int project = -1, field = -1, lesson = -1;
    };
    Places places() const;
    void showPlaces(const Places& places);
    // An edit of the catalogue (catalogue true) or of the selected project's files, as a step
    // of the history that puts the lists back where they stood before or after it.
    // What an edit touches, so only those files are kept for its undo.
    enum class Touches {
        Catalogue,    // the catalogue (and a new project's folder)
        ProjectFile,  // the project file: a setting
        Numbering,    // the project file, adding to a list of numbered entries
        LessonsFiles, // the whole project: a delete renumbers the lessons' files
    };
    void recordEdit(const QString& name, Touches touches, const std::function<void()>& edit,
                    const QString& kind = {});
    void buildEdits();
    void showEditTexts();
    QToolButton* editMenu_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;

    Context& context_;
    EditHistory history_{context_};
    QString bookConfig_; // the eight names joined by "|"
    Session session_;
    QString BookTxtDir;
    QString XmlDir;
    int NormalGrey = 0;
    int HoverGrey = 0;
    int FadeStartGrey = 0;
    QString PickPurpose;
    QString lastPicked_;
    QString keptProject_; // the name LastProject.cfg holds
    void selectLastProject();
    void showHowToStart();
    void keepLastProject(); // the folder the last picker confirmed, where the next one opens
    QString pickerStart() const;
    QString TitleMode;
    int PopupPanel = 0;
    bool Dragging = false;
    bool unloaded_ = false;
    bool filling_ = false;
    bool keyMoved_ = false; // the selection of a focused list was moved by the keys
    QPoint dragStart_;

    QLabel* label20_ = nullptr;
    QLabel* label21_ = nullptr;
    QLabel* label18_ = nullptr;
    QLabel* label19_ = nullptr;
    QWidget* frame1_ = nullptr;
    QListWidget* projB_ = nullptr;
    QListWidget* reshB_ = nullptr;
    QListWidget* darsB_ = nullptr;
    std::array<Panel, 3> panels_;
    HoverPicture* help_ = nullptr;
    HoverPicture* dataEntry_ = nullptr;
    HoverPicture* output_ = nullptr;
    std::array<QLabel*, 4> browse_{}; // Picture8, Picture9, Picture10, Picture11

    std::array<QRadioButton*, 2> bMus_{};
    std::array<QRadioButton*, 2> olgoo_{};
    QLabel* label1_ = nullptr;
    QLabel* label10_ = nullptr;
    QLineEdit* mus1_ = nullptr;
    QLineEdit* mus2_ = nullptr;
    QLineEdit* back_ = nullptr;
    QLineEdit* exBox_ = nullptr;
    QCheckBox* pcheck_ = nullptr;
    // The exam the CD offers: a group of the tool's own below the picture buttons.
    QGroupBox* examGroup_ = nullptr;
    // The disc image of the last export, beside the export's row of settings.
    QToolButton* discImage_ = nullptr;
    QToolButton* questionsOut_ = nullptr;
    QToolButton* paperExam_ = nullptr;
    QToolButton* analysis_ = nullptr;
    QToolButton* readSheets_ = nullptr;
    QCheckBox* examOn_ = nullptr;
    // "Exams and scoring…": in the exam group, left of its first row, where nothing stood.
    QPushButton* scoring_ = nullptr;
    QSpinBox* examMinutes_ = nullptr;
    QSpinBox* examCount_ = nullptr;

    QTimer timer1_;
    QTimer timer2_;
    QTimer fadeTimer_;
    NewTitleBox* titleBox_ = nullptr;
    std::unique_ptr<FormatterWindow> formatter_;
};

} // namespace tavrin
