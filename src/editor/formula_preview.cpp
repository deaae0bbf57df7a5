#include "editor/formula_preview.h"

#include "app/context.h"
#include "lesson/formula_palette.h"
#include "platform/fs_error.h"
#include "platform/paths.h"
#include "platform/ui_metrics.h"
#include "widgets/persian_ui.h"
#include "widgets/web_view.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tavrin {

FormulaPreview::FormulaPreview(Context& context, QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("FormulaPreview"));
    setWindowTitle(QStringLiteral(u"پیش‌نمایش سؤال"));
    // A click on the palette leaves the keyboard with the editor's box: the window never
    // takes the focus, so the next key goes where the formula waits.
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setLayoutDirection(Qt::RightToLeft);
    setFont(persianFont(9));
    resize(520, 560);
    auto* layout = new QVBoxLayout(this);
    auto* palette = new QHBoxLayout;
    palette->setSpacing(2);
    layout->addLayout(palette);
    // The palette reads left to right, as the formulas it writes do.
    auto* row = new QWidget(this);
    row->setLayoutDirection(Qt::LeftToRight);
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);
    const QList<PaletteItem>& items = formulaPalette();
    for (int i = 0; i < items.size(); ++i) {
        // Isolated left to right: drawn in a right-to-left window, "√x" would read "x√".
        auto* b = new QPushButton(QChar(0x2066) + items[i].label + QChar(0x2069), row);
        b->setObjectName(QLatin1String(items[i].name));
        b->setToolTip(QString(items[i].tex).remove(u'@'));
        b->setAccessibleName(b->toolTip());
        // The editor's box keeps the caret: a click here must not take it.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->setMinimumWidth(34);
        connect(b, &QPushButton::clicked, this, [this, i] { emit insertRequested(i); });
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    palette->addWidget(row);
    // The browser engine is loaded now, the first time a preview is shown.
    try {
        views_ = &loadWebViews();
        view_ = views_->make(this,
                             QUrl::fromLocalFile(DoSlash(context.programFolder()) +
                                                 QStringLiteral("Resources/preview.html")),
                             [this](bool ok) {
                                 loaded_ = ok;
                                 if (ok)
                                     draw();
                             });
        view_->setObjectName(QStringLiteral("PreviewView"));
        view_->setFocusPolicy(Qt::NoFocus);
    } catch (const FsError& e) {
        auto* missing =
            new QLabel(shownInWindows(QStringLiteral(u"پیش‌نمایش باز نشد: ")) +
                           e.description(),
                       this);
        missing->setObjectName(QStringLiteral("PreviewView"));
        missing->setWordWrap(true);
        view_ = missing;
    }
    layout->addWidget(view_, 1);
}

void FormulaPreview::runScript(const QString& script,
                               const std::function<void(const QVariant&)>& answer) {
    if (loaded_ && views_)
        views_->run(view_, script, answer);
}

void FormulaPreview::showEntry(const PreviewEntry& entry) {
    pending_ = entry;
    if (loaded_)
        draw();
}

void FormulaPreview::draw() {
    if (!pending_)
        return;
    QJsonObject images;
    for (auto it = pending_->images.begin(); it != pending_->images.end(); ++it)
        images.insert(QString::number(it.key()), QUrl::fromLocalFile(it.value()).toString());
    QJsonObject o{{QStringLiteral("text"), pending_->text},
                  {QStringLiteral("answers"), QJsonArray::fromStringList(pending_->answers)},
                  {QStringLiteral("explanation"), pending_->explanation},
                  {QStringLiteral("images"), images}};
    pending_.reset();
    const QString script = QStringLiteral("Tavrin.preview(") +
                           QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) +
                           u')';
    runScript(script, [this](const QVariant& result) {
        const QVariantMap counts = result.toMap();
        drawn_ = counts.value(QStringLiteral("drawn"), -1).toInt();
        broken_ = counts.value(QStringLiteral("broken"), -1).toInt();
        pictures_ = counts.value(QStringLiteral("pictures"), -1).toInt();
        emit entryDrawn();
    });
}

} // namespace tavrin
