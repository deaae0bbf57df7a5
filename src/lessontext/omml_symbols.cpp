#include "lessontext/omml_symbols.h"

namespace tavrin::docx {

const QHash<char32_t, QString>& symbols() {
    static const QHash<char32_t, QString> map = [] {
        QHash<char32_t, QString> m;
        const char16_t* greek[] = {u"alpha",   u"beta", u"gamma",    u"delta", u"epsilon",
                                   u"zeta",    u"eta",  u"theta",    u"iota",  u"kappa",
                                   u"lambda",  u"mu",   u"nu",       u"xi",    u"o",
                                   u"pi",      u"rho",  u"varsigma", u"sigma", u"tau",
                                   u"upsilon", u"phi",  u"chi",      u"psi",   u"omega"};
        for (int i = 0; i < 25; ++i) {
            const QString name = QString::fromUtf16(greek[i]);
            m.insert(0x03B1 + i, name == u"o" ? QStringLiteral("o") : u'\\' + name);
        }
        const char16_t* upper[] = {u"Gamma", u"Delta",   u"Theta", u"Lambda", u"Xi",   u"Pi",
                                   u"Sigma", u"Upsilon", u"Phi",   u"Psi",    u"Omega"};
        const char32_t upperAt[] = {0x0393, 0x0394, 0x0398, 0x039B, 0x039E, 0x03A0,
                                    0x03A3, 0x03A5, 0x03A6, 0x03A8, 0x03A9};
        for (int i = 0; i < 11; ++i)
            m.insert(upperAt[i], u'\\' + QString::fromUtf16(upper[i]));
        const std::pair<char32_t, const char16_t*> other[] = {{0x03D5, u"\\phi"},
                                                              {0x03C6, u"\\varphi"},
                                                              {0x03F5, u"\\epsilon"},
                                                              {0x03B5, u"\\varepsilon"},
                                                              {0x00D7, u"\\times"},
                                                              {0x00F7, u"\\div"},
                                                              {0x00B1, u"\\pm"},
                                                              {0x2213, u"\\mp"},
                                                              {0x2264, u"\\le"},
                                                              {0x2265, u"\\ge"},
                                                              {0x2260, u"\\ne"},
                                                              {0x2248, u"\\approx"},
                                                              {0x2261, u"\\equiv"},
                                                              {0x221E, u"\\infty"},
                                                              {0x2192, u"\\to"},
                                                              {0x2190, u"\\leftarrow"},
                                                              {0x21D2, u"\\Rightarrow"},
                                                              {0x21D4, u"\\Leftrightarrow"},
                                                              {0x2194, u"\\leftrightarrow"},
                                                              {0x21D0, u"\\Leftarrow"},
                                                              {0x2208, u"\\in"},
                                                              {0x2209, u"\\notin"},
                                                              {0x220B, u"\\ni"},
                                                              {0x2282, u"\\subset"},
                                                              {0x2286, u"\\subseteq"},
                                                              {0x2283, u"\\supset"},
                                                              {0x2287, u"\\supseteq"},
                                                              {0x222A, u"\\cup"},
                                                              {0x2229, u"\\cap"},
                                                              {0x2205, u"\\emptyset"},
                                                              {0x2200, u"\\forall"},
                                                              {0x2203, u"\\exists"},
                                                              {0x2202, u"\\partial"},
                                                              {0x2207, u"\\nabla"},
                                                              {0x00B7, u"\\cdot"},
                                                              {0x22C5, u"\\cdot"},
                                                              {0x2219, u"\\cdot"},
                                                              {0x2218, u"\\circ"},
                                                              {0x00B0, u"^{\\circ}"},
                                                              {0x2032, u"'"},
                                                              {0x2033, u"''"},
                                                              {0x2026, u"\\ldots"},
                                                              {0x22EF, u"\\cdots"},
                                                              {0x22EE, u"\\vdots"},
                                                              {0x22F1, u"\\ddots"},
                                                              {0x00AC, u"\\neg"},
                                                              {0x2227, u"\\wedge"},
                                                              {0x2228, u"\\vee"},
                                                              {0x223C, u"\\sim"},
                                                              {0x2245, u"\\cong"},
                                                              {0x221D, u"\\propto"},
                                                              {0x22A5, u"\\perp"},
                                                              {0x2225, u"\\parallel"},
                                                              {0x2220, u"\\angle"},
                                                              {0x25B3, u"\\triangle"},
                                                              {0x2206, u"\\Delta"},
                                                              {0x2212, u"-"},
                                                              {0x2016, u"\\|"},
                                                              {0x27E8, u"\\langle"},
                                                              {0x27E9, u"\\rangle"},
                                                              {0x230A, u"\\lfloor"},
                                                              {0x230B, u"\\rfloor"},
                                                              {0x2308, u"\\lceil"},
                                                              {0x2309, u"\\rceil"},
                                                              {0x2211, u"\\sum"},
                                                              {0x220F, u"\\prod"},
                                                              {0x222B, u"\\int"},
                                                              {0x221A, u"\\surd"},
                                                              {0x2295, u"\\oplus"},
                                                              {0x2297, u"\\otimes"},
                                                              {0x226A, u"\\ll"},
                                                              {0x226B, u"\\gg"},
                                                              {0x2282, u"\\subset"},
                                                              {0x2034, u"'''"},
                                                              {0x210F, u"\\hbar"},
                                                              {0x2113, u"\\ell"},
                                                              {0x2135, u"\\aleph"},
                                                              {0x2127, u"\\mho"},
                                                              {0x2146, u"d"},
                                                              {0x2147, u"e"},
                                                              {0x2148, u"i"},
                                                              {0x200B, u""},
                                                              {0x2061, u""},
                                                              {0x2062, u""},
                                                              {0x2063, u""},
                                                              {u'{', u"\\{"},
                                                              {u'}', u"\\}"},
                                                              {u'%', u"\\%"},
                                                              {u'#', u"\\#"},
                                                              {u'$', u"\\$"},
                                                              {u'_', u"\\_"},
                                                              {u'~', u"\\sim"},
                                                              {u'\\', u"\\backslash"},
                                                              {u'^', u"\\hat{}"},
                                                              {u'&', u"\\&"}};
        for (const auto& [c, tex] : other)
            m.insert(c, QString::fromUtf16(tex));
        return m;
    }();
    return map;
}

Styled alphanumeric(char32_t c) {
    // The letter-like symbols that stand in the block's holes.
    static const QHash<char32_t, Styled> holes{
        {0x210E, {u'h', nullptr}},    {0x212C, {u'B', "mathcal"}},  {0x2130, {u'E', "mathcal"}},
        {0x2131, {u'F', "mathcal"}},  {0x210B, {u'H', "mathcal"}},  {0x2110, {u'I', "mathcal"}},
        {0x2112, {u'L', "mathcal"}},  {0x2133, {u'M', "mathcal"}},  {0x211B, {u'R', "mathcal"}},
        {0x212F, {u'e', "mathcal"}},  {0x210A, {u'g', "mathcal"}},  {0x2134, {u'o', "mathcal"}},
        {0x2102, {u'C', "mathbb"}},   {0x210D, {u'H', "mathbb"}},   {0x2115, {u'N', "mathbb"}},
        {0x2119, {u'P', "mathbb"}},   {0x211A, {u'Q', "mathbb"}},   {0x211D, {u'R', "mathbb"}},
        {0x2124, {u'Z', "mathbb"}},   {0x212D, {u'C', "mathfrak"}}, {0x210C, {u'H', "mathfrak"}},
        {0x2111, {u'I', "mathfrak"}}, {0x211C, {u'R', "mathfrak"}}, {0x2128, {u'Z', "mathfrak"}}};
    if (const auto h = holes.find(c); h != holes.end())
        return *h;
    if (c >= 0x1D400 && c <= 0x1D6A3) {
        static const char* styles[] = {"mathbf",   nullptr,  "boldsymbol", "mathcal", "mathcal",
                                       "mathfrak", "mathbb", "mathfrak",   "mathsf",  "mathbf",
                                       "mathit",   "mathbf", "mathtt"};
        const unsigned offset = c - 0x1D400;
        const unsigned block = offset / 52, letter = offset % 52;
        return {letter < 26 ? char32_t(u'A' + letter) : char32_t(u'a' + letter - 26),
                styles[block]};
    }
    if (c >= 0x1D7CE && c <= 0x1D7FF) // digits: bold, double-struck, sans, sans bold, mono
        return {char32_t(u'0' + (c - 0x1D7CE) % 10), nullptr};
    if (c >= 0x1D6A8 && c <= 0x1D7C9) { // Greek in bold, italic...: the plain Greek letter
        const unsigned letter = (c - 0x1D6A8) % 58;
        if (letter < 25)
            return {char32_t(0x0391 + letter), nullptr};
        if (letter >= 26 && letter < 51)
            return {char32_t(0x03B1 + letter - 26), nullptr};
        return {c, nullptr};
    }
    return {c, nullptr};
}

bool persian(char32_t c) {
    return (c >= 0x0600 && c <= 0x06FF) || c == 0x200C;
}

const QStringList& functionNames() {
    static const QStringList names{
        QStringLiteral("sin"),    QStringLiteral("cos"),    QStringLiteral("tan"),
        QStringLiteral("cot"),    QStringLiteral("sec"),    QStringLiteral("csc"),
        QStringLiteral("arcsin"), QStringLiteral("arccos"), QStringLiteral("arctan"),
        QStringLiteral("sinh"),   QStringLiteral("cosh"),   QStringLiteral("tanh"),
        QStringLiteral("log"),    QStringLiteral("ln"),     QStringLiteral("lg"),
        QStringLiteral("exp"),    QStringLiteral("lim"),    QStringLiteral("max"),
        QStringLiteral("min"),    QStringLiteral("sup"),    QStringLiteral("inf"),
        QStringLiteral("det"),    QStringLiteral("gcd"),    QStringLiteral("deg"),
        QStringLiteral("arg"),    QStringLiteral("dim"),    QStringLiteral("ker")};
    return names;
}

} // namespace tavrin::docx
