#pragma once

#include <QIcon>
#include <QImage>
#include <vector>

// An icon drawn as pixel art at one or more native sizes. Larger sizes, as high-DPI screens
// ask for, are made by whole-number nearest-neighbour scaling of the best native image, so
// the pixels stay sharp instead of being blurred.
QIcon pixelArtIcon(std::vector<QImage> nativeImages);
