// Finds the picture, pixel for pixel and unscaled, at the left edge of a
// window screenshot.  Prints its top row; exits 77 when there is no picture
// to look for.
#include <QImage>
#include <cstdio>

namespace {

bool PictureAt(const QImage& shot, const QImage& picture, int top)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (shot.pixel(x, top + y) != picture.pixel(x, y))
                return false;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s screenshot.png picture.bmp\n", argv[0]);
        return 2;
    }
    const QImage picture = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return 77;
    const QImage shot = QImage(argv[1]).convertToFormat(QImage::Format_RGB32);
    if (shot.width() < picture.width())
        return 1;
    for (int top = 0; top + picture.height() <= shot.height(); ++top)
        if (PictureAt(shot, picture, top)) {
            std::printf("%d\n", top);
            return 0;
        }
    return 1;
}
