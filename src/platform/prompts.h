#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tavrin {

// The answer to a Yes/No/Cancel question.
enum class Answer { Yes, No, Cancel };

// Which button a question starts on; a question whose Yes loses work starts on No.
enum class Default { Yes, No };

// Modal questions and notices. The windows use message boxes; tests script the answers.
class Prompts {
public:
    virtual ~Prompts() = default;
    // An OK-only box without icon.
    virtual void notice(const QString& caption, const QString& text) = 0;
    // A Yes/No box without icon; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text,
                          Default start = Default::Yes) = 0;
    // A Yes/No/Cancel box without icon, starting on the answer given; closing the box is
    // Cancel.
    virtual Answer askYesNoCancel(const QString& caption, const QString& text,
                                  Answer start = Answer::Cancel) = 0;

    // A list to read (findings, each marked an error, a warning or a note), with Copy and
    // Close, and a closing line under it (the notice the list leads to), shown with the list.
    // Without a list window of its own a prompt shows it as one notice.
    enum class Mark { Error, Warning, Note };
    struct Line {
        Mark mark;
        QString text;
    };
    virtual void showList(const QString& caption, const QString& heading, const QList<Line>& lines,
                          const QString& closing = {}) {
        QStringList texts{heading};
        for (const Line& l : lines)
            texts.append(l.text);
        if (!closing.isEmpty())
            texts.append(closing);
        notice(caption, texts.join(QStringLiteral("\r\n")));
    }
};

} // namespace tavrin
