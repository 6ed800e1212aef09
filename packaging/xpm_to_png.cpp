// Build-time helper: writes an XPM image as PNG, for the icon theme.
#include <QImage>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: xpm_to_png IN.xpm OUT.png\n");
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]), "XPM");
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "xpm_to_png: cannot convert %s\n", argv[1]);
        return 1;
    }
    return 0;
}
