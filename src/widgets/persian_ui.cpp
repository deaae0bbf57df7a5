#include "widgets/persian_ui.h"

#include "platform/formula_text.h"
#include "platform/persian_text.h"

#include <QApplication>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QTranslator>
#include <algorithm>

namespace tavrin {
namespace {

// Mnemonic marks are not drawn by a text option; "&&" stands for one "&".
QString withoutMnemonics(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        out.append(text[i]);
    }
    return out;
}

// Every text the style draws is shown in Persian letters; the widgets keep the texts they
// were given (the stored data, the log and the tests speak of those).
class PersianStyle final : public QProxyStyle {
public:
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& given, QPalette::ColorRole role) const override {
        const QString text = shownInWindows(given);
        if (!holdsRightToLeft(text)) {
            QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
            return;
        }
        painter->save();
        if (role != QPalette::NoRole)
            painter->setPen(QPen(palette.brush(role), painter->pen().widthF()));
        QTextOption option(
            Qt::Alignment(flags & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)));
        option.setTextDirection(Qt::RightToLeft);
        option.setWrapMode((flags & Qt::TextWordWrap) ? QTextOption::WordWrap
                                                      : QTextOption::NoWrap);
        const bool mnemonics = flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic);
        painter->drawText(QRectF(rect), mnemonics ? withoutMnemonics(text) : text, option);
        painter->restore();
    }

    // The base style draws a group box's frame from a picture, and the first picture read
    // makes Qt load every image plugin (with the SVG and JPEG libraries) while the main
    // window starts. The same light frame is drawn here with lines.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_FrameGroupBox) {
            drawGroupFrame(option, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    // List entries and menu items are drawn from their options' texts, not through
    // drawItemText.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_ItemViewItem &&
            drawShown<QStyleOptionViewItem>(element, option, painter, widget))
            return;
        if (element == CE_MenuItem &&
            drawShown<QStyleOptionMenuItem>(element, option, painter, widget))
            return;
        QProxyStyle::drawControl(element, option, painter, widget);
    }

private:
    void drawGroupFrame(const QStyleOption* option, QPainter* painter,
                        const QWidget* widget) const {
        // Below the title as the base style places it: the title's line, and 3 pixels.
        constexpr int kBelowTitle = 3;
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        const bool titled = !box || box->isCheckable() || !box->title().isEmpty();
        const int top = titled ? std::max(proxy()->pixelMetric(PM_ExclusiveIndicatorHeight),
                                          option->fontMetrics.height()) +
                                     kBelowTitle
                               : kBelowTitle;
        const QRectF frame =
            QRectF(option->rect.adjusted(0, top, 0, 0)).adjusted(1.5, 1.5, -1.5, -1.5);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(QColor(0x75, 0x75, 0x75, 0x32), 1));
        painter->setBrush(QColor(0, 0, 0, 0x03));
        painter->drawRoundedRect(frame, 2, 2);
        painter->setPen(QPen(QColor(0, 0, 0, 0x07), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(frame.adjusted(1, 1, -1, -1), 1, 1);
        painter->restore();
    }

    template <typename Option>
    bool drawShown(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const {
        const auto* given = qstyleoption_cast<const Option*>(option);
        if (!given)
            return false;
        Option shown(*given);
        shown.text = shownInWindows(given->text);
        QProxyStyle::drawControl(element, &shown, painter, widget);
        return true;
    }
};

} // namespace

namespace {

// Each formula's source isolated left to right, the text between given to shownText.
template <typename Shown> QString withFormulasIsolated(const QString& text, Shown shownText) {
    if (!hasFormula(text))
        return shownText(text);
    // Inside a right-to-left line a formula's brackets and scripts would be reordered
    // ("\\(x^2\\)" read as "\\(2^x\\)").
    QString out;
    for (const TextPiece& p : formulaPieces(text))
        out += p.kind == TextPiece::Text ? shownText(p.source) : leftToRight(p.source);
    return out;
}

} // namespace

QString shownInWindows(const QString& text) {
    return withFormulasIsolated(
        text, [](const QString& piece) { return persianShown(piece, Digits::AlsoBare); });
}

QString formulasIsolated(const QString& text) {
    return withFormulasIsolated(text, [](const QString& piece) { return piece; });
}

void showDocumentInPersian(QTextDocument* document) {
    struct Run {
        int position, length;
        QString shown;
        QTextCharFormat format;
    };
    QList<Run> runs;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.charFormat().isImageFormat())
                continue;
            const QString shown = shownInWindows(f.text());
            if (shown != f.text())
                runs.append({f.position(), f.length(), shown, f.charFormat()});
        }
    }
    // From the end, so the places before stay where they were.
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + it->length, QTextCursor::KeepAnchor);
        cursor.insertText(it->shown, it->format);
    }
    cursor.endEditBlock();
    document->clearUndoRedoStacks();
}

bool holdsRightToLeft(const QString& text) {
    for (const QChar c : text) {
        const QChar::Direction d = c.direction();
        if (d == QChar::DirR || d == QChar::DirAL)
            return true;
    }
    return false;
}

void preparePersianUi() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || app->property("tavrinPersianUi").toBool())
        return;
    app->setProperty("tavrinPersianUi", true);
    QApplication::setStyle(new PersianStyle);
    // Numbers the controls write themselves (spin boxes) in Persian digits; typed Latin
    // digits are still read.
    QLocale::setDefault(QLocale(QLocale::Persian, QLocale::Iran));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    auto* translator = new QTranslator(app);
    if (translator->load(QLocale(QLocale::Persian, QLocale::Iran), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace tavrin
