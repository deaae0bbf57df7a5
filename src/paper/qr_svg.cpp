#include "paper/qr_svg.h"

#include "platform/system_library.h"

#include <memory>
#include <qrencode.h>

namespace tavrin {

QString qrSvg(const QString& text) {
    // Loaded when a sheet is printed: the program starts without it.
    SystemLibrary library(QStringLiteral("qrencode"), 4, QStringLiteral("The QR code library"));
    const auto encode = library.get<decltype(&::QRcode_encodeData)>("QRcode_encodeData");
    const auto free = library.get<decltype(&::QRcode_free)>("QRcode_free");
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        encode(int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.constData()), 0,
               QR_ECLEVEL_M),
        free);
    if (!code)
        return {};
    constexpr int kQuiet = 4;
    const int size = code->width + 2 * kQuiet;
    // One path of unit squares: small, and drawn crisp at any scale.
    QString path;
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                path += QStringLiteral("M%1 %2h1v1h-1z").arg(x + kQuiet).arg(y + kQuiet);
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %1 %1\" "
                          "shape-rendering=\"crispEdges\"><rect width=\"%1\" height=\"%1\" "
                          "fill=\"#fff\"/><path d=\"%2\" fill=\"#000\"/></svg>")
        .arg(size)
        .arg(path);
}

} // namespace tavrin
