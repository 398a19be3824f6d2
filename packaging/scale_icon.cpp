// Makes the smaller icon sizes of the hicolor theme from the 256-pixel icon,
// so that only one picture is kept in the sources.
#include <QImage>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: scale_icon SOURCE.png SIZE OUTPUT.png\n";
    return 2;
  }
  const int size = std::atoi(argv[2]);
  const QImage source(QString::fromLocal8Bit(argv[1]));
  if (source.isNull() || size <= 0) {
    std::cerr << "scale_icon: cannot read " << argv[1] << " or bad size " << argv[2] << '\n';
    return 1;
  }
  if (!source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(QString::fromLocal8Bit(argv[3]))) {
    std::cerr << "scale_icon: cannot write " << argv[3] << '\n';
    return 1;
  }
  return 0;
}
