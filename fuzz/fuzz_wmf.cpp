// libFuzzer target for the metafile decoder and player: any input must decode
// or fail cleanly, and whatever decodes must play into a small image.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

#include "wmf/WmfDecoder.h"
#include "wmf/WmfPlayer.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char name[] = "fuzz_wmf";
    static char* qtArgv[] = {name, nullptr};
    static QGuiApplication app(qtArgc, qtArgv);
    (void)argc;
    (void)argv;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (wmf::NonPlaceable mode : {wmf::NonPlaceable::Reject, wmf::NonPlaceable::FrameFromWindow}) {
        wmf::Picture pic;
        if (!wmf::decode(bytes, pic, nullptr, mode)) continue;
        wmf::Player stateOnly(pic, nullptr, QRectF(0, 0, 64, 48));
        stateOnly.play();
        QImage img(64, 48, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        wmf::Player player(pic, &painter, QRectF(0, 0, 64, 48));
        player.play();
    }
    return 0;
}
