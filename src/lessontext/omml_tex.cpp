#include "lessontext/omml_tex.h"

#include "lessontext/docx_package.h"
#include "lessontext/omml_symbols.h"
#include "lessontext/tex_out.h"
#include "platform/fs_error.h"

#include <QHash>
#include <QXmlStreamReader>
#include <memory>
#include <vector>

namespace tavrin::docx {

namespace {

// The equation read whole first: converting needs to look at a node's properties and
// children in any order.
struct Node {
    QString name;
    QString val; // m:val of a property element
    QString text;
    std::vector<std::unique_ptr<Node>> children;

    const Node* child(QStringView n) const {
        for (const auto& c : children)
            if (c->name == n)
                return c.get();
        return nullptr;
    }
    // A property of a *Pr child: its m:val, or `missing` when the property is absent.
    QString property(QStringView pr, QStringView n, const QString& missing = {}) const {
        const Node* p = child(pr);
        const Node* v = p ? p->child(n) : nullptr;
        return v ? v->val : missing;
    }
    bool on(QStringView pr, QStringView n) const {
        const Node* p = child(pr);
        const Node* v = p ? p->child(n) : nullptr;
        return v && v->val != u"0" && v->val != u"off" && v->val != u"false";
    }
};

std::unique_ptr<Node> readNode(QXmlStreamReader& xml, int& depth) {
    const Deeper deeper(depth);
    auto node = std::make_unique<Node>();
    node->name = xml.name().toString();
    node->val = attribute(xml, QLatin1StringView("val")).toString();
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::StartElement)
            node->children.push_back(readNode(xml, depth));
        else if (t == QXmlStreamReader::Characters && node->name == u"t")
            node->text += xml.text();
        else if (t == QXmlStreamReader::EndElement)
            break;
    }
    return node;
}

// A piece of TeX as one argument: a single letter or command stands alone.
QString group(const QString& tex) {
    if (tex.size() == 1 && tex[0] != u' ')
        return tex;
    if (tex.startsWith(u'\\') && tex.size() > 1) {
        bool word = true;
        for (qsizetype i = 1; i < tex.size() && word; ++i)
            word = tex[i].isLetter() && tex[i].unicode() < 128;
        if (word)
            return tex;
    }
    return u'{' + tex + u'}';
}

class Turner {
public:
    QStringList lost;

    QString node(const Node& n) {
        const QString& k = n.name;
        if (k == u"oMathPara") {
            QStringList lines;
            for (const auto& c : n.children)
                if (c->name == u"oMath")
                    lines.append(node(*c));
            return lines.size() == 1 ? lines.first()
                                     : QStringLiteral("\\begin{gathered}") +
                                           lines.join(QStringLiteral(" \\\\ ")) +
                                           QStringLiteral("\\end{gathered}");
        }
        if (k == u"oMath" || k == u"e" || k == u"num" || k == u"den" || k == u"sub" ||
            k == u"sup" || k == u"deg" || k == u"lim" || k == u"fName" || k == u"box")
            return children(n);
        if (k == u"r")
            return run(n);
        if (k == u"f")
            return fraction(n);
        if (k == u"sSup")
            return base(n) + u'^' + group(part(n, u"sup"));
        if (k == u"sSub")
            return base(n) + u'_' + group(part(n, u"sub"));
        if (k == u"sSubSup")
            return base(n) + u'_' + group(part(n, u"sub")) + u'^' + group(part(n, u"sup"));
        if (k == u"sPre")
            return QStringLiteral("{}_") + group(part(n, u"sub")) + u'^' + group(part(n, u"sup")) +
                   group(part(n, u"e"));
        if (k == u"rad")
            return radical(n);
        if (k == u"nary")
            return nary(n);
        if (k == u"d")
            return delimiter(n);
        if (k == u"m")
            return matrix(n, QStringLiteral("matrix"));
        if (k == u"eqArr")
            return equations(n, QString());
        if (k == u"acc")
            return accent(n);
        if (k == u"bar")
            return (n.property(u"barPr", u"pos", QStringLiteral("bot")) == u"top"
                        ? QStringLiteral("\\overline")
                        : QStringLiteral("\\underline")) +
                   u'{' + part(n, u"e") + u'}';
        if (k == u"groupChr")
            return groupCharacter(n);
        if (k == u"limLow" || k == u"limUpp")
            return limit(n);
        if (k == u"func")
            return function(n);
        if (k == u"borderBox")
            return QStringLiteral("\\boxed{") + part(n, u"e") + u'}';
        if (k == u"phant")
            return QStringLiteral("\\phantom{") + part(n, u"e") + u'}';
        if (k.endsWith(QLatin1StringView("Pr")) || k == u"ctrlPr" || k == u"bookmarkStart" ||
            k == u"bookmarkEnd" || k == u"proofErr" || k == u"del")
            return QString();
        if (k == u"ins" || k == u"smartTag" || k == u"sdt" || k == u"sdtContent")
            return children(n);
        if (!lost.contains(k))
            lost.append(k);
        return QString::fromUtf16(kLostMark);
    }

private:
    bool inArray_ = false;

    QString children(const Node& n) {
        TexOut out;
        for (const auto& c : n.children)
            out.append(node(*c));
        return out.text();
    }

    QString part(const Node& n, QStringView name) {
        const Node* c = n.child(name);
        return c ? node(*c) : QString();
    }

    QString base(const Node& n) { return group(part(n, u"e")); }

    QString run(const Node& n) {
        QString text;
        for (const auto& c : n.children)
            if (c->name == u"t")
                text += c->text;
            else if (c->name == u"tab")
                text += u' ';
        const Node* rPr = n.child(u"rPr");
        const bool normal = rPr && rPr->child(u"nor");
        const QString sty = n.property(u"rPr", u"sty");
        const QString scr = n.property(u"rPr", u"scr");
        return runText(text, normal, sty, scr);
    }

    QString runText(const QString& text, bool normal, const QString& sty, const QString& scr) {
        const QList<uint> chars = text.toUcs4();
        // Plain words and Persian text are text, not letters multiplied together.
        bool hasPersian = false;
        for (const uint c : chars)
            hasPersian = hasPersian || persian(c);
        if (normal || hasPersian)
            return textRuns(chars);
        const QString trimmed = text.trimmed();
        if (sty == u"p" && functionNames().contains(trimmed))
            return u'\\' + trimmed + u' ';
        TexOut out;
        for (const uint c : chars) {
            const Styled s = alphanumeric(c);
            QString piece = letter(s.plain);
            const char* style = s.style;
            if (!style && s.plain < 128 && QChar(s.plain).isLetter()) {
                if (scr == u"double-struck")
                    style = "mathbb";
                else if (scr == u"script")
                    style = "mathcal";
                else if (scr == u"fraktur")
                    style = "mathfrak";
                else if (sty == u"b")
                    style = "mathbf";
                else if (sty == u"p")
                    style = "mathrm";
            }
            if (style)
                piece = u'\\' + QLatin1StringView(style) + u'{' + piece + u'}';
            out.append(piece, true);
        }
        return out.text();
    }

    // Text inside an equation: Persian words and Word's "normal text" runs.
    static QString textRuns(const QList<uint>& chars) {
        QString inner;
        for (const uint c : chars) {
            const QString s = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
            if (c == u'{' || c == u'}' || c == u'%' || c == u'#' || c == u'$' || c == u'_' ||
                c == u'&')
                inner += u'\\' + s;
            else if (c == u'\\')
                inner += QStringLiteral("\\textbackslash{}");
            else if (c == u'~' || c == u'^')
                inner += QStringLiteral("\\text") + (c == u'~' ? QStringLiteral("asciitilde{}")
                                                               : QStringLiteral("asciicircum{}"));
            else
                inner += s;
        }
        return QStringLiteral("\\text{") + inner + u'}';
    }

    QString letter(char32_t c) const {
        if (c == u' ')
            return QString();
        if (c == u'&' && inArray_)
            return QStringLiteral("&");
        if (const auto s = symbols().find(c); s != symbols().end())
            return *s;
        return QString::fromUcs4(&c, 1);
    }

    QString fraction(const Node& n) {
        const QString type = n.property(u"fPr", u"type", QStringLiteral("bar"));
        const QString num = part(n, u"num"), den = part(n, u"den");
        if (type == u"noBar")
            return QStringLiteral("\\genfrac{}{}{0pt}{}{") + num + QStringLiteral("}{") + den +
                   u'}';
        if (type == u"skw" || type == u"lin")
            return group(num) + u'/' + group(den);
        return QStringLiteral("\\frac{") + num + QStringLiteral("}{") + den + u'}';
    }

    QString radical(const Node& n) {
        const QString degree = part(n, u"deg");
        if (n.on(u"radPr", u"degHide") || degree.isEmpty())
            return QStringLiteral("\\sqrt{") + part(n, u"e") + u'}';
        return QStringLiteral("\\sqrt[") + degree + QStringLiteral("]{") + part(n, u"e") + u'}';
    }

    QString nary(const Node& n) {
        static const QHash<QString, QString> ops{
            {QStringLiteral("∑"), QStringLiteral("\\sum")},
            {QStringLiteral("∏"), QStringLiteral("\\prod")},
            {QStringLiteral("∐"), QStringLiteral("\\coprod")},
            {QStringLiteral("∫"), QStringLiteral("\\int")},
            {QStringLiteral("∬"), QStringLiteral("\\iint")},
            {QStringLiteral("∭"), QStringLiteral("\\iiint")},
            {QStringLiteral("∮"), QStringLiteral("\\oint")},
            {QStringLiteral("⋃"), QStringLiteral("\\bigcup")},
            {QStringLiteral("⋂"), QStringLiteral("\\bigcap")},
            {QStringLiteral("⋁"), QStringLiteral("\\bigvee")},
            {QStringLiteral("⋀"), QStringLiteral("\\bigwedge")},
            {QStringLiteral("⨁"), QStringLiteral("\\bigoplus")},
            {QStringLiteral("⨂"), QStringLiteral("\\bigotimes")}};
        const QString chr = n.property(u"naryPr", u"chr", QStringLiteral("∫"));
        QString op = ops.value(chr);
        if (op.isEmpty())
            op = QStringLiteral("\\mathop{") + chr + u'}';
        const bool integral = op.contains(QLatin1StringView("int"));
        const QString loc = n.property(
            u"naryPr", u"limLoc", integral ? QStringLiteral("subSup") : QStringLiteral("undOvr"));
        if (integral && loc == u"undOvr")
            op += QStringLiteral("\\limits");
        else if (!integral && loc == u"subSup")
            op += QStringLiteral("\\nolimits");
        const QString sub = part(n, u"sub"), sup = part(n, u"sup");
        if (!n.on(u"naryPr", u"subHide") && !sub.isEmpty())
            op += QStringLiteral("_{") + sub + u'}';
        if (!n.on(u"naryPr", u"supHide") && !sup.isEmpty())
            op += QStringLiteral("^{") + sup + u'}';
        return op + u'{' + part(n, u"e") + u'}';
    }

    static QString fence(const QString& c) {
        if (c.isEmpty())
            return QStringLiteral(".");
        static const QHash<QString, QString> map{{QStringLiteral("{"), QStringLiteral("\\{")},
                                                 {QStringLiteral("}"), QStringLiteral("\\}")},
                                                 {QStringLiteral("‖"), QStringLiteral("\\|")},
                                                 {QStringLiteral("⟨"), QStringLiteral("\\langle")},
                                                 {QStringLiteral("〈"), QStringLiteral("\\langle")},
                                                 {QStringLiteral("⟩"), QStringLiteral("\\rangle")},
                                                 {QStringLiteral("〉"), QStringLiteral("\\rangle")},
                                                 {QStringLiteral("⌊"), QStringLiteral("\\lfloor")},
                                                 {QStringLiteral("⌋"), QStringLiteral("\\rfloor")},
                                                 {QStringLiteral("⌈"), QStringLiteral("\\lceil")},
                                                 {QStringLiteral("⌉"), QStringLiteral("\\rceil")}};
        return map.value(c, c);
    }

    QString delimiter(const Node& n) {
        const QString begin = n.property(u"dPr", u"begChr", QStringLiteral("("));
        const QString end = n.property(u"dPr", u"endChr", QStringLiteral(")"));
        const QString sep = n.property(u"dPr", u"sepChr", QStringLiteral("|"));
        QList<const Node*> parts;
        for (const auto& c : n.children)
            if (c->name == u"e")
                parts.append(c.get());
        // A brace on the left of an equation array is a choice of cases.
        if (begin == u"{" && end.isEmpty() && parts.size() == 1 && parts[0]->children.size() == 1 &&
            parts[0]->children[0]->name == u"eqArr")
            return equations(*parts[0]->children[0], QStringLiteral("cases"));
        if (parts.size() == 1 && parts[0]->children.size() == 1 &&
            parts[0]->children[0]->name == u"m") {
            static const QHash<QString, QString> kinds{
                {QStringLiteral("()"), QStringLiteral("pmatrix")},
                {QStringLiteral("[]"), QStringLiteral("bmatrix")},
                {QStringLiteral("||"), QStringLiteral("vmatrix")},
                {QStringLiteral("‖‖"), QStringLiteral("Vmatrix")}};
            if (const auto kind = kinds.find(begin + end); kind != kinds.end())
                return matrix(*parts[0]->children[0], *kind);
        }
        QStringList inner;
        for (const Node* p : parts)
            inner.append(node(*p));
        const QString separator =
            sep == u"|" ? QStringLiteral("\\middle|") : (sep.isEmpty() ? QString() : fence(sep));
        return QStringLiteral("\\left") + fence(begin) + u' ' +
               inner.join(separator.isEmpty() ? QString() : separator + u' ') +
               QStringLiteral(" \\right") + fence(end);
    }

    QString matrix(const Node& n, const QString& kind) {
        QStringList rows;
        for (const auto& r : n.children) {
            if (r->name != u"mr")
                continue;
            QStringList cells;
            for (const auto& e : r->children)
                if (e->name == u"e")
                    cells.append(node(*e));
            rows.append(cells.join(QStringLiteral(" & ")));
        }
        return QStringLiteral("\\begin{") + kind + u'}' + rows.join(QStringLiteral(" \\\\ ")) +
               QStringLiteral("\\end{") + kind + u'}';
    }

    // Word aligns an equation array's rows at its "&" marks.
    QString equations(const Node& n, const QString& kind) {
        QStringList rows;
        const bool was = inArray_;
        inArray_ = true;
        bool aligned = false;
        for (const auto& e : n.children) {
            if (e->name != u"e")
                continue;
            rows.append(node(*e));
            aligned = aligned || rows.last().contains(u'&');
        }
        inArray_ = was;
        const QString env =
            !kind.isEmpty() ? kind
                            : (aligned ? QStringLiteral("aligned") : QStringLiteral("gathered"));
        return QStringLiteral("\\begin{") + env + u'}' + rows.join(QStringLiteral(" \\\\ ")) +
               QStringLiteral("\\end{") + env + u'}';
    }

    QString accent(const Node& n) {
        const QString chr = n.property(u"accPr", u"chr", QStringLiteral("\u0302"));
        const QString e = part(n, u"e");
        const bool wide = group(e).startsWith(u'{');
        static const QHash<QString, std::pair<QString, QString>> accents{
            {QStringLiteral("\u0302"), {QStringLiteral("\\hat"), QStringLiteral("\\widehat")}},
            {QStringLiteral("\u0303"), {QStringLiteral("\\tilde"), QStringLiteral("\\widetilde")}},
            {QStringLiteral("\u0304"), {QStringLiteral("\\bar"), QStringLiteral("\\overline")}},
            {QStringLiteral("\u0305"), {QStringLiteral("\\bar"), QStringLiteral("\\overline")}},
            {QStringLiteral("\u0307"), {QStringLiteral("\\dot"), QStringLiteral("\\dot")}},
            {QStringLiteral("\u0308"), {QStringLiteral("\\ddot"), QStringLiteral("\\ddot")}},
            {QStringLiteral("\u20D7"),
             {QStringLiteral("\\vec"), QStringLiteral("\\overrightarrow")}},
            {QStringLiteral("\u20D6"),
             {QStringLiteral("\\overleftarrow"), QStringLiteral("\\overleftarrow")}},
            {QStringLiteral("\u20E1"),
             {QStringLiteral("\\overleftrightarrow"), QStringLiteral("\\overleftrightarrow")}},
            {QStringLiteral("\u0301"), {QStringLiteral("\\acute"), QStringLiteral("\\acute")}},
            {QStringLiteral("\u0300"), {QStringLiteral("\\grave"), QStringLiteral("\\grave")}},
            {QStringLiteral("\u0306"), {QStringLiteral("\\breve"), QStringLiteral("\\breve")}},
            {QStringLiteral("\u030C"), {QStringLiteral("\\check"), QStringLiteral("\\check")}}};
        const auto a = accents.find(chr);
        if (a == accents.end())
            return QStringLiteral("\\overset{") + chr + QStringLiteral("}{") + e + u'}';
        return (wide ? a->second : a->first) + u'{' + e + u'}';
    }

    QString groupCharacter(const Node& n) {
        const QString chr = n.property(u"groupChrPr", u"chr", QStringLiteral("\u23DF"));
        const bool top = n.property(u"groupChrPr", u"pos", QStringLiteral("bot")) == u"top";
        const QString e = part(n, u"e");
        if (chr == u"\u23DF")
            return QStringLiteral("\\underbrace{") + e + u'}';
        if (chr == u"\u23DE")
            return QStringLiteral("\\overbrace{") + e + u'}';
        const QString mark = letter(chr.toUcs4().value(0));
        return (top ? QStringLiteral("\\overset{") : QStringLiteral("\\underset{")) + mark +
               QStringLiteral("}{") + e + u'}';
    }

    QString limit(const Node& n) {
        const bool low = n.name == u"limLow";
        QString e = part(n, u"e").trimmed();
        const QString lim = part(n, u"lim");
        // "lim" under its limit is the operator with a subscript.
        if (low && e.startsWith(u'\\') && functionNames().contains(e.mid(1)))
            return e + QStringLiteral("_{") + lim + u'}';
        if (low && (e == u"\\underbrace{" || e.startsWith(QLatin1StringView("\\underbrace"))))
            return e + QStringLiteral("_{") + lim + u'}';
        if (!low && e.startsWith(QLatin1StringView("\\overbrace")))
            return e + QStringLiteral("^{") + lim + u'}';
        return (low ? QStringLiteral("\\underset{") : QStringLiteral("\\overset{")) + lim +
               QStringLiteral("}{") + e + u'}';
    }

    QString function(const Node& n) {
        QString name = part(n, u"fName").trimmed();
        if (functionNames().contains(name))
            name = u'\\' + name;
        else if (!name.startsWith(u'\\') && !name.isEmpty() && name.size() > 1 &&
                 !name.contains(u'{'))
            name = QStringLiteral("\\operatorname{") + name + u'}';
        else if (name.startsWith(QLatin1StringView("\\mathrm{")) && !name.contains(u'_'))
            name = QStringLiteral("\\operatorname{") + plainLetters(name) + u'}';
        return name + u'{' + part(n, u"e") + u'}';
    }

    // "\mathrm{s}\mathrm{i}\mathrm{n}" as "sin".
    static QString plainLetters(const QString& tex) {
        QString out;
        for (qsizetype i = 0; i < tex.size(); ++i)
            if (tex[i] == u'{' && i + 2 < tex.size() && tex[i + 2] == u'}')
                out += tex[i + 1];
        return out;
    }
};

} // namespace

OmmlTex ommlToTex(QXmlStreamReader& xml, int& depth) {
    const auto root = readNode(xml, depth);
    Turner turner;
    OmmlTex out;
    out.display = root->name == u"oMathPara";
    out.tex = turner.node(*root).trimmed();
    out.lost = turner.lost;
    return out;
}

OmmlTex ommlToTex(const QString& element) {
    // Fragments as tests and other programs write them often leave the prefixes undeclared.
    const QString text =
        QStringLiteral("<w:x xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/"
                       "2006/math\" xmlns:w=\"http://schemas.openxmlformats.org/"
                       "wordprocessingml/2006/main\">") +
        element + QStringLiteral("</w:x>");
    QXmlStreamReader xml(text);
    int depth = 0;
    // The first element inside the wrapper: an equation or any part of one.
    if (xml.readNextStartElement() && xml.readNextStartElement())
        return ommlToTex(xml, depth);
    if (xml.hasError())
        throw FsError(QStringLiteral("Damaged equation (%1)").arg(xml.errorString()));
    return {};
}

} // namespace tavrin::docx
