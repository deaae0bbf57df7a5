// libFuzzer target: the tag-text reader and writer. Random operations on a random document
// must never crash or hang; on a document the tool itself would write, what AddNode and
// SetValue write is what Wste reads back, and DelNode removes exactly its element.
#include "fuzz_common.h"
#include "store/store_common.h"
#include "store/tag_text.h"

using namespace tavrin;
using namespace tavrin::fuzz;

namespace {

Program* program = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    new QCoreApplication(*argc, *argv);
    program = new Program;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Context& c = *program->context;
    Input in(data, size);
    // Anything at all as a document.
    QString document = in.text();
    while (!in.done()) {
        const uint8_t op = in.byte() % 7;
        const QString a = in.text(), b = in.text(), v = in.text();
        switch (op) {
        case 0:
            Wsre(c, document, a);
            break;
        case 1:
            Wste(c, document, a, b);
            break;
        case 2:
            document = AddNode(c, document, a, b, QStringLiteral("Name"), v);
            break;
        case 3:
            document = SetValue(c, document, a, b, QStringLiteral("Path"), v);
            break;
        case 4:
            document = SetBlockText(c, document, a, b, v);
            break;
        case 5:
            document = DelNode(c, document, a, b, int(in.byte() % 8), int(in.byte() % 8));
            break;
        default:
            document = DelFullNode(c, document, a, b, int(in.byte() % 8), int(in.byte() % 8));
            break;
        }
    }

    // A well-formed project block: a value that cannot damage it is read back as written.
    Input again(data, size);
    const QString value = again.text();
    if (store::damagesTagText(value) || value.contains(QLatin1String("Dars")))
        return 0;
    const QString base = QStringLiteral("<Reshteh>\r\n\t<Count Adad=\"1\">\r\n"
                                        "\t<Resh1 Name=\"F\" DateCreated=\"d\">\r\n"
                                        "\t\t<Count Adad=\"0\">\r\n</Resh1 >\r\n</Reshteh>\r\n");
    const QString parent = QStringLiteral("Resh1 ");
    QString doc = AddNode(c, base, parent, QStringLiteral("Dars1"), QStringLiteral("Name"), value);
    need(Wste(c, Wsre(c, doc, parent), QStringLiteral("Dars1"), QStringLiteral("Name")) == value);
    doc = AddNode(c, doc, parent, QStringLiteral("Dars2"), QStringLiteral("Name"),
                  QStringLiteral("two"));
    const QString without = DelNode(c, doc, parent, QStringLiteral("Dars"), 1, 1);
    need(Wste(c, Wsre(c, without, parent), QStringLiteral("Dars1"), QStringLiteral("Name")) ==
         QStringLiteral("two"));
    need(!without.contains(QStringLiteral("Dars2")));
    const QString set = SetValue(c, base, QStringLiteral("Reshteh"), QStringLiteral("Export"),
                                 QStringLiteral("Path"), value);
    need(Wste(c, set, QStringLiteral("Export"), QStringLiteral("Path")) == value);
    return 0;
}
