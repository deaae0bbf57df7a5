#include "store/own_labels.h"

#include <QRegularExpression>
#include <algorithm>

namespace tavrin {

QString answerLabel(const QString& answer) {
    // Persian letters and digits may touch the text ("الف)آهن") but not a number ("1.5");
    // a Latin letter is a label only before a blank ("a-b" is a word).
    static const QRegularExpression label(QStringLiteral(
        "^\\s*(?:(?:\\x{0627}\\x{0644}\\x{0641}|[\\x{0628}\\x{067E}\\x{062C}\\x{062F}\\x{0647}]|"
        "[1-9\\x{06F1}-\\x{06F9}\\x{0661}-\\x{0669}])\\s*[\\)\\-.:]"
        "(?![0-9\\x{06F0}-\\x{06F9}\\x{0660}-\\x{0669}])|[a-dA-D]\\s*[\\)\\-.:](?=\\s))\\s*"));
    return label.match(answer).captured(0);
}

QString questionNumber(const QString& text) {
    // Up to three digits and ")", "-", "." or ":"; then a blank, or a letter that is not
    // Latin ("۱-کدام"): "2-methyl" and "1.5" go on as text.
    static const QRegularExpression number(QStringLiteral(
        "^\\s*[0-9\\x{06F0}-\\x{06F9}\\x{0660}-\\x{0669}]{1,3}\\s*[\\)\\-.:]"
        "(?=\\s|[^\\x{0000}-\\x{007F}0-9\\x{06F0}-\\x{06F9}\\x{0660}-\\x{0669}])\\s*"));
    return number.match(text).captured(0);
}

OwnLabels takeOwnLabels(QString& text, QStringList& answers) {
    OwnLabels taken;
    // A number with nothing after it is the whole text, not a label of it.
    if (const QString number = questionNumber(text);
        !number.isEmpty() && !text.mid(number.size()).trimmed().isEmpty()) {
        taken.number = number.trimmed();
        text = text.mid(number.size());
    }
    if (!answers.isEmpty() && std::all_of(answers.begin(), answers.end(), [](const QString& a) {
            const QString label = answerLabel(a);
            return !label.isEmpty() && !a.mid(label.size()).trimmed().isEmpty();
        })) {
        for (QString& a : answers) {
            const QString label = answerLabel(a);
            taken.labels.append(label.trimmed());
            a = a.mid(label.size());
        }
    }
    return taken;
}

QString ownLabelsText(const OwnLabels& taken) {
    QStringList quoted;
    if (!taken.number.isEmpty())
        quoted.append(u'«' + taken.number + u'»');
    for (const QString& label : taken.labels)
        quoted.append(u'«' + label + u'»');
    return quoted.join(QStringLiteral(u"، "));
}

} // namespace tavrin
