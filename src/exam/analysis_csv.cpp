#include "exam/analysis_csv.h"

#include "platform/csv.h"

namespace tavrin {

namespace {

QByteArray sheet(const QStringList& header, const QList<QStringList>& rows) {
    QString out = csvRow(header);
    for (const QStringList& r : rows)
        out += csvRow(r);
    return "\xEF\xBB\xBF" + out.toUtf8();
}

QString fieldName(const char* what, int field) {
    return QStringLiteral("%1_f%2").arg(QLatin1String(what)).arg(field + 1);
}

} // namespace

QString figureText(const std::optional<double>& value, int decimals) {
    if (!value)
        return {};
    // No "-0.000" for a figure that rounds to nothing.
    const double v = std::abs(*value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : *value;
    return QString::number(v, 'f', decimals);
}

QByteArray itemsCsv(const Analysis& a) {
    QStringList header{QStringLiteral("question"),       QStringLiteral("students"),
                       QStringLiteral("right"),          QStringLiteral("wrong"),
                       QStringLiteral("blank"),          QStringLiteral("facility"),
                       QStringLiteral("discrimination"), QStringLiteral("upper_lower"),
                       QStringLiteral("point_biserial")};
    for (int o = 1; o <= a.mostOptions; ++o)
        header.append(QStringLiteral("chose_%1").arg(o));
    header.append(QStringLiteral("flags"));
    QList<QStringList> rows;
    for (const ItemFigures& i : a.items) {
        QStringList r{i.question.id,
                      QString::number(i.students),
                      QString::number(i.right),
                      QString::number(i.wrong),
                      QString::number(i.blank),
                      figureText(i.facility, 2),
                      figureText(i.discrimination, 3),
                      figureText(i.upperLower, 3),
                      figureText(i.pointBiserial, 3)};
        for (const int c : i.chose)
            r.append(QString::number(c));
        QStringList flags;
        for (const ItemFlag f : i.flags)
            flags.append(flagWords(f));
        r.append(flags.join(QStringLiteral(u"؛ ")));
        rows.append(r);
    }
    return sheet(header, rows);
}

QByteArray testCsv(const Analysis& a) {
    const TestFigures& t = a.test;
    return sheet({QStringLiteral("students"), QStringLiteral("questions"), QStringLiteral("mean"),
                  QStringLiteral("median"), QStringLiteral("sd"), QStringLiteral("min"),
                  QStringLiteral("max"), QStringLiteral("skewness"), QStringLiteral("kurtosis"),
                  QStringLiteral("kr20"), QStringLiteral("sem")},
                 {{QString::number(t.students), QString::number(t.questions), figureText(t.mean, 2),
                   figureText(t.median, 2), figureText(t.sd, 2), figureText(t.min, 2),
                   figureText(t.max, 2), figureText(t.skewness, 3), figureText(t.kurtosis, 3),
                   figureText(t.kr20, 3), figureText(t.sem, 2)}});
}

QByteArray studentsCsv(const Analysis& a) {
    QStringList header{QStringLiteral("name"),  QStringLiteral("version"),
                       QStringLiteral("right"), QStringLiteral("wrong"),
                       QStringLiteral("blank"), QStringLiteral("percent")};
    for (const int f : a.fields)
        header.append(fieldName("percent", f));
    header.append(QStringLiteral("taraz"));
    for (const int f : a.fields)
        header.append(fieldName("taraz", f));
    header.append(QStringLiteral("rank"));
    QList<QStringList> rows;
    for (const StudentFigures& s : a.students) {
        QStringList r{
            csvText(s.name),          s.version > 0 ? QString::number(s.version) : QString(),
            QString::number(s.right), QString::number(s.wrong),
            QString::number(s.blank), hundredthsText(s.percent)};
        for (const qint64 p : s.fieldPercents)
            r.append(hundredthsText(p));
        r.append(QString::number(s.taraz));
        for (const int t : s.fieldTaraz)
            r.append(QString::number(t));
        r.append(QString::number(s.rank));
        rows.append(r);
    }
    return sheet(header, rows);
}

} // namespace tavrin
