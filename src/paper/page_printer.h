#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavrin {

// What the browser engine's module prints for the paper exam: pages of the program's own
// HTML, each to PDF bytes (A4, no margins: the page's CSS lays out its sheets). A page says
// it is ready by setting window.paperDone (its laying out waits for fonts and pictures), or
// window.paperFailed with the reason; a page that measured what it drew leaves it as JSON in
// window.paperLayout. The pages may read files inside the `readable` folders only.
class PagePrinter {
public:
    virtual ~PagePrinter() = default;
    // Prints the pages a few at a time; told each page's PDF and layout or, empty, the reason
    // it failed.
    // A page not printed within mostSeconds of its start is stopped from outside (its
    // scripts may be too busy to answer). Stops starting pages once `done` says false;
    // returns when none is running.
    virtual void
    print(const QStringList& pages, const QStringList& readable, int mostSeconds,
          const std::function<bool(int page, const QByteArray& pdf, const QByteArray& layout,
                                   const QString& failure)>& done) = 0;
};

// The module's printer (entry "tavrin_page_printer").
PagePrinter& loadPagePrinter();

} // namespace tavrin
