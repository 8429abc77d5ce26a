#pragma once
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace picgen {

// Pictures are drawn at this multiple of their layout size.
constexpr int kRatio = 2;

struct Picture {
    QString name;  // resource path without ".png": "bmp/10005", "anim/10000"
    QSize size;    // layout size of one frame
    int frames = 1;
    // Draws frame f in layout coordinates (0,0)-(size).
    std::function<void(QPainter&, int f)> draw;
};

const std::vector<Picture>& Catalogue();
const Picture* Find(const QString& name);
// The picture at kRatio, frames side by side, with its "dpr" and "frames" texts.
QImage render(const Picture& picture);

} // namespace picgen
