#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>

class QWidget;

namespace tavrin {

// The browser engine's view, made by its module (entry "tavrin_web_views") when a window
// first shows a page: the windows load nothing of the engine before.
class WebViews {
public:
    virtual ~WebViews() = default;
    // A view child of parent, loading url; told once whether it loaded.
    virtual QWidget* make(QWidget* parent, const QUrl& url,
                          const std::function<void(bool)>& loaded) = 0;
    // The script run in the view's page, its answer told.
    virtual void run(QWidget* view, const QString& script,
                     const std::function<void(const QVariant&)>& answer) = 0;
};

// Throws FsError when the module cannot be loaded.
WebViews& loadWebViews();

} // namespace tavrin
