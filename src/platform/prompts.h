#pragma once

#include <QString>

namespace tavrin {

// Modal questions and notices. The windows use message boxes; tests script the answers.
class Prompts {
public:
    virtual ~Prompts() = default;
    // An OK-only box without icon.
    virtual void notice(const QString& caption, const QString& text) = 0;
    // A Yes/No box without icon; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
};

} // namespace tavrin
