#include "CornucopiaPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

// The picture is built back to front: the shadow on the ground, the wicker horn with its
// curled tip, the dark mouth, then the fruit that spills out of it, each item in its own
// small function. All coordinates are in the picture's 194 x 140 pixel space.

namespace {

// --- Palette -----------------------------------------------------------------------------

constexpr QRgb Background = qRgb(255, 255, 255);
constexpr QRgb Shadow = qRgba(90, 70, 40, 70);

constexpr QRgb WickerLight = qRgb(244, 212, 138);
constexpr QRgb WickerBase = qRgb(214, 163, 76);
constexpr QRgb WickerDark = qRgb(150, 98, 36);
constexpr QRgb WickerLine = qRgb(118, 74, 26);
constexpr QRgb MouthInside = qRgb(74, 44, 16);
constexpr QRgb MouthDeep = qRgb(40, 22, 6);

constexpr QRgb AppleLight = qRgb(255, 128, 110);
constexpr QRgb AppleBase = qRgb(214, 36, 38);
constexpr QRgb AppleDark = qRgb(132, 14, 20);

constexpr QRgb GrapeLight = qRgb(176, 132, 214);
constexpr QRgb GrapeBase = qRgb(106, 54, 150);
constexpr QRgb GrapeDark = qRgb(56, 22, 86);

constexpr QRgb OrangeLight = qRgb(255, 206, 112);
constexpr QRgb OrangeBase = qRgb(247, 148, 28);
constexpr QRgb OrangeDark = qRgb(196, 96, 8);

constexpr QRgb PearLight = qRgb(236, 240, 140);
constexpr QRgb PearBase = qRgb(184, 204, 62);
constexpr QRgb PearDark = qRgb(112, 140, 30);
constexpr QRgb PearBlush = qRgba(230, 110, 60, 110);

constexpr QRgb BananaLight = qRgb(255, 244, 150);
constexpr QRgb BananaBase = qRgb(250, 212, 52);
constexpr QRgb BananaDark = qRgb(206, 158, 20);
constexpr QRgb BananaTip = qRgb(92, 66, 30);

constexpr QRgb CarrotLight = qRgb(255, 168, 80);
constexpr QRgb CarrotBase = qRgb(240, 112, 22);
constexpr QRgb CarrotDark = qRgb(186, 70, 10);

constexpr QRgb LeafLight = qRgb(140, 200, 90);
constexpr QRgb LeafBase = qRgb(70, 150, 50);
constexpr QRgb LeafDark = qRgb(34, 96, 30);

constexpr QRgb Stem = qRgb(104, 68, 34);
constexpr QRgb Highlight = qRgba(255, 255, 255, 200);

QColor colour(QRgb rgba)
{
    return QColor::fromRgba(rgba);
}

// --- Small geometry helpers --------------------------------------------------------------

QPointF lerp(QPointF a, QPointF b, double t)
{
    return a + (b - a) * t;
}

double length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

QPointF unit(QPointF v)
{
    const double len = length(v);
    return len > 0.0 ? v / len : QPointF(1.0, 0.0);
}

// Left-hand normal of a direction: for a direction pointing right it points up.
QPointF normalOf(QPointF direction)
{
    return {direction.y(), -direction.x()};
}

// A point on a quadratic Bezier curve.
QPointF quadPoint(QPointF a, QPointF control, QPointF b, double t)
{
    return lerp(lerp(a, control, t), lerp(control, b, t), t);
}

// A point on a Catmull-Rom spline through p1 and p2, with p0 and p3 as neighbours.
QPointF catmullRom(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double t)
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    return 0.5 * ((2.0 * p1) + (p2 - p0) * t + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * t2
                  + (3.0 * p1 - p0 - 3.0 * p2 + p3) * t3);
}

// A radial gradient lit from the upper left of a round shape.
QRadialGradient roundShading(QPointF centre, double radius, QRgb light, QRgb base, QRgb dark)
{
    const QPointF focus = centre + QPointF(-0.4 * radius, -0.45 * radius);
    QRadialGradient g(focus, radius * 1.45, focus);
    g.setColorAt(0.0, colour(light));
    g.setColorAt(0.45, colour(base));
    g.setColorAt(1.0, colour(dark));
    return g;
}

void drawGlint(QPainter &p, QPointF centre, double rx, double ry, double angle = -35.0)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    p.setPen(Qt::NoPen);
    p.setBrush(colour(Highlight));
    p.drawEllipse(QPointF(0, 0), rx, ry);
    p.restore();
}

// --- The horn ----------------------------------------------------------------------------

// The horn's centre line runs from the curled tip to the middle of the mouth; the horn is a
// tube around it whose radius grows from almost nothing to the mouth's half height.
struct Horn
{
    std::vector<QPointF> centre;
    std::vector<QPointF> upper; // the side towards the normal (the top of the body)
    std::vector<QPointF> lower;
    std::vector<QPointF> direction;
    std::vector<double> radius;

    QPointF mouthCentre() const { return centre.back(); }
    QPointF mouthDirection() const { return direction.back(); }
    double mouthRadius() const { return radius.back(); }
    int size() const { return static_cast<int>(centre.size()); }
};

constexpr double MouthDepth = 0.36; // the mouth's ellipse: its width over its height

Horn makeHorn()
{
    // From the tip, curling round, down along the body to the mouth.
    const std::array<QPointF, 9> knots{{
        {40.0, 26.0},
        {31.0, 18.5},
        {19.0, 21.0},
        {13.0, 37.0},
        {20.0, 61.0},
        {40.0, 81.0},
        {66.0, 93.0},
        {94.0, 95.0},
        {116.0, 88.0},
    }};

    std::vector<QPointF> dense;
    const int stepsPerSpan = 24;
    const int spans = static_cast<int>(knots.size()) - 1;
    for (int i = 0; i < spans; ++i) {
        const QPointF p0 = knots[std::max(i - 1, 0)];
        const QPointF p3 = knots[std::min(i + 2, spans)];
        for (int s = 0; s < stepsPerSpan; ++s)
            dense.push_back(catmullRom(p0, knots[i], knots[i + 1], p3, double(s) / stepsPerSpan));
    }
    dense.push_back(knots.back());

    std::vector<double> travelled{0.0};
    for (size_t i = 1; i < dense.size(); ++i)
        travelled.push_back(travelled.back() + length(dense[i] - dense[i - 1]));
    const double total = travelled.back();

    Horn horn;
    const double tipRadius = 1.3;
    const double mouthRadius = 30.0;
    for (size_t i = 0; i < dense.size(); ++i) {
        const double t = travelled[i] / total;
        const QPointF ahead = dense[std::min(i + 1, dense.size() - 1)];
        const QPointF behind = dense[i == 0 ? 0 : i - 1];
        const QPointF dir = unit(ahead - behind);
        const double r = tipRadius + (mouthRadius - tipRadius) * std::pow(t, 1.6);
        horn.centre.push_back(dense[i]);
        horn.direction.push_back(dir);
        horn.radius.push_back(r);
        horn.upper.push_back(dense[i] + normalOf(dir) * r);
        horn.lower.push_back(dense[i] - normalOf(dir) * r);
    }
    return horn;
}

// The slice of the horn between two centre-line samples.
QPainterPath hornSlice(const Horn &horn, int from, int to)
{
    QPainterPath path;
    path.moveTo(horn.upper[from]);
    for (int i = from + 1; i <= to; ++i)
        path.lineTo(horn.upper[i]);
    for (int i = to; i >= from; --i)
        path.lineTo(horn.lower[i]);
    path.closeSubpath();
    return path;
}

// A curve across the horn at one sample, bowed towards the mouth as a ring on a cone is.
QPainterPath ringLine(const Horn &horn, int i, double bow)
{
    QPainterPath path;
    path.moveTo(horn.upper[i]);
    path.quadTo(horn.centre[i] + horn.direction[i] * bow * horn.radius[i], horn.lower[i]);
    return path;
}

QLinearGradient acrossHorn(const Horn &horn, int i)
{
    QLinearGradient g(horn.upper[i], horn.lower[i]);
    g.setColorAt(0.0, colour(WickerBase));
    g.setColorAt(0.22, colour(WickerLight));
    g.setColorAt(0.55, colour(WickerBase));
    g.setColorAt(1.0, colour(WickerDark));
    return g;
}

// A soft oval on the ground: a round gradient squashed flat.
void drawShadow(QPainter &p)
{
    const QPointF centre(102, 123);
    const double radius = 90;
    QRadialGradient g(centre, radius);
    g.setColorAt(0.0, colour(Shadow));
    g.setColorAt(0.6, colour(Shadow));
    g.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.translate(centre);
    p.scale(1.0, 0.1);
    p.translate(-centre);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

void drawHorn(QPainter &p, const Horn &horn)
{
    p.save();
    const QPainterPath body = hornSlice(horn, 0, horn.size() - 1);

    // Rows of wicker: each row a slice shaded across the horn, rows wider towards the mouth.
    std::vector<int> rows{0};
    {
        double along = 0.0;
        double nextRow = 0.0;
        for (int i = 1; i < horn.size(); ++i) {
            along += length(horn.centre[i] - horn.centre[i - 1]);
            if (along >= nextRow + std::max(2.6, 0.42 * horn.radius[i]) && i < horn.size() - 2) {
                rows.push_back(i);
                nextRow = along;
            }
        }
        rows.push_back(horn.size() - 1);
    }

    p.setPen(Qt::NoPen);
    for (size_t r = 0; r + 1 < rows.size(); ++r) {
        const int mid = (rows[r] + rows[r + 1]) / 2;
        p.setBrush(acrossHorn(horn, mid));
        p.drawPath(hornSlice(horn, rows[r], rows[r + 1]));
    }

    // The weave: within each row, short strands offset row by row like brickwork.
    p.setClipPath(body);
    QPen strand(colour(WickerLine), 0.7);
    strand.setCapStyle(Qt::RoundCap);
    for (size_t r = 0; r + 1 < rows.size(); ++r) {
        const int a = rows[r];
        const int b = rows[r + 1];
        const double span = 2.0 * horn.radius[(a + b) / 2];
        if (span < 7.0)
            continue;
        const int cells = std::max(2, int(span / 6.0));
        const double shift = (r % 2 == 0) ? 0.0 : 0.5;
        QColor line = colour(WickerLine);
        line.setAlpha(150);
        strand.setColor(line);
        p.setPen(strand);
        for (int c = 0; c < cells; ++c) {
            const double f = (c + shift) / cells;
            p.drawLine(lerp(horn.upper[a], horn.lower[a], f),
                       lerp(horn.upper[b], horn.lower[b], f));
        }
    }

    // Lines between rows.
    QPen rowPen(colour(WickerLine), 0.9);
    rowPen.setCapStyle(Qt::FlatCap);
    p.setBrush(Qt::NoBrush);
    p.setPen(rowPen);
    for (size_t r = 1; r + 1 < rows.size(); ++r)
        p.drawPath(ringLine(horn, rows[r], 0.25));

    // Three raised, plaited bands.
    for (const double where : {0.50, 0.68, 0.84}) {
        const int i = int(where * (horn.size() - 1));
        QPen band(colour(WickerDark), std::max(2.5, 0.16 * horn.radius[i]));
        band.setCapStyle(Qt::FlatCap);
        p.setPen(band);
        p.drawPath(ringLine(horn, i, 0.25));
        QPen braid(colour(WickerLight), band.widthF() * 0.55, Qt::DotLine, Qt::RoundCap);
        p.setPen(braid);
        p.drawPath(ringLine(horn, i, 0.25));
    }
    p.setClipping(false);

    // The outline.
    QPen outline(colour(WickerLine), 1.0);
    outline.setJoinStyle(Qt::RoundJoin);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.restore();
}

// The mouth is an ellipse standing across the end of the horn.
QTransform mouthFrame(const Horn &horn)
{
    const QPointF d = horn.mouthDirection();
    QTransform t;
    t.translate(horn.mouthCentre().x(), horn.mouthCentre().y());
    t.rotateRadians(std::atan2(d.y(), d.x()));
    return t;
}

void drawMouth(QPainter &p, const Horn &horn)
{
    const double r = horn.mouthRadius();
    const double depth = r * MouthDepth;
    p.save();
    p.setTransform(mouthFrame(horn), true);

    QRadialGradient inside(QPointF(-depth * 0.2, r * 0.1), r);
    inside.setColorAt(0.0, colour(MouthDeep));
    inside.setColorAt(1.0, colour(MouthInside));
    p.setPen(Qt::NoPen);
    p.setBrush(inside);
    p.drawEllipse(QPointF(0, 0), depth, r);

    // The rim: a thick plait of wicker.
    QLinearGradient rimShade(QPointF(0, -r), QPointF(0, r));
    rimShade.setColorAt(0.0, colour(WickerLight));
    rimShade.setColorAt(0.5, colour(WickerBase));
    rimShade.setColorAt(1.0, colour(WickerDark));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour(WickerLine), 5.2));
    p.drawEllipse(QPointF(0, 0), depth, r);
    p.setPen(QPen(QBrush(rimShade), 3.6));
    p.drawEllipse(QPointF(0, 0), depth, r);
    QPen plait(colour(WickerLine), 0.8);
    p.setPen(plait);
    const int twists = 26;
    for (int k = 0; k < twists; ++k) {
        const double a = 2.0 * std::numbers::pi * k / twists;
        const QPointF on(depth * std::cos(a), r * std::sin(a));
        const QPointF out = unit(QPointF(std::cos(a) / depth, std::sin(a) / r));
        const QPointF along = normalOf(out);
        p.drawLine(on - out * 1.8 - along * 1.0, on + out * 1.8 + along * 1.0);
    }
    p.restore();
}

// --- Fruit and vegetables ----------------------------------------------------------------

void drawLeaf(QPainter &p, QPointF base, QPointF tip, double width, QRgb fill = LeafBase)
{
    const QPointF axis = tip - base;
    const QPointF side = normalOf(unit(axis)) * width;
    QPainterPath leaf;
    leaf.moveTo(base);
    leaf.cubicTo(base + axis * 0.25 + side, base + axis * 0.7 + side * 0.9, tip);
    leaf.cubicTo(base + axis * 0.7 - side * 0.9, base + axis * 0.25 - side, base);

    QLinearGradient g(base + side, base - side);
    g.setColorAt(0.0, colour(LeafLight));
    g.setColorAt(0.5, colour(fill));
    g.setColorAt(1.0, colour(LeafDark));
    p.save();
    p.setPen(QPen(colour(LeafDark), 0.8));
    p.setBrush(g);
    p.drawPath(leaf);
    QColor vein = colour(LeafLight);
    vein.setAlpha(200);
    p.setPen(QPen(vein, 0.7));
    p.drawLine(base + axis * 0.08, base + axis * 0.85);
    p.restore();
}

void drawBackLeaves(QPainter &p)
{
    drawLeaf(p, QPointF(122, 74), QPointF(136, 50), 5.5);
    drawLeaf(p, QPointF(126, 78), QPointF(158, 66), 5.5, LeafLight);
    drawLeaf(p, QPointF(150, 104), QPointF(170, 88), 4.5);
    drawLeaf(p, QPointF(176, 121), QPointF(192, 106), 3.8);
}

void drawBanana(QPainter &p, QPointF stalk, QPointF bend, QPointF tip)
{
    // A crescent around a curved centre line, thickest in the middle.
    const int steps = 24;
    const double thickest = 5.6;
    std::vector<QPointF> top;
    std::vector<QPointF> bottom;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const QPointF c = quadPoint(stalk, bend, tip, t);
        const QPointF d = unit(lerp(bend - stalk, tip - bend, t));
        const double swell = std::pow(std::sin(std::numbers::pi * t), 0.65);
        const double half = 0.9 + (thickest - 0.9) * swell;
        top.push_back(c + normalOf(d) * half);
        bottom.push_back(c - normalOf(d) * half * 0.8);
    }
    QPainterPath banana;
    banana.moveTo(top.front());
    for (const QPointF &q : top)
        banana.lineTo(q);
    for (auto q = bottom.rbegin(); q != bottom.rend(); ++q)
        banana.lineTo(*q);
    banana.closeSubpath();

    const QPointF middle = quadPoint(stalk, bend, tip, 0.5);
    const QPointF across = normalOf(unit(tip - stalk)) * thickest;
    QLinearGradient g(middle + across, middle - across);
    g.setColorAt(0.0, colour(BananaLight));
    g.setColorAt(0.45, colour(BananaBase));
    g.setColorAt(1.0, colour(BananaDark));
    p.save();
    p.setPen(QPen(colour(BananaDark), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(banana);

    // The ridge along its length, a shine on the back, the dark stalk and tip.
    const auto alongBanana = [&](int from, int to, double towardsTop) {
        QPainterPath line;
        for (int i = from; i <= to; ++i) {
            const QPointF c = quadPoint(stalk, bend, tip, double(i) / steps);
            const QPointF q = lerp(c, top[i], towardsTop);
            if (i == from)
                line.moveTo(q);
            else
                line.lineTo(q);
        }
        return line;
    };
    const QPainterPath ridgeLine = alongBanana(3, steps - 3, 0.0);
    const QPainterPath shine = alongBanana(6, steps - 8, 0.55);
    QColor ridge = colour(BananaDark);
    ridge.setAlpha(150);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ridge, 0.7));
    p.drawPath(ridgeLine);
    p.setPen(QPen(colour(Highlight), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shine);
    p.setPen(QPen(colour(BananaTip), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(stalk, stalk - unit(bend - stalk) * 2.5);
    p.drawPoint(tip);
    p.restore();
}

void drawPear(QPainter &p, QPointF bottom)
{
    // Built upwards from the bottom of the round belly to the narrow neck.
    const double x = bottom.x();
    const double y = bottom.y();
    QPainterPath pear;
    pear.moveTo(x, y);
    pear.cubicTo(QPointF(x + 9, y), QPointF(x + 13, y - 8), QPointF(x + 11, y - 16));
    pear.cubicTo(QPointF(x + 9, y - 22), QPointF(x + 5, y - 24), QPointF(x + 5, y - 29));
    pear.cubicTo(QPointF(x + 5, y - 34), QPointF(x - 5, y - 34), QPointF(x - 5, y - 29));
    pear.cubicTo(QPointF(x - 5, y - 24), QPointF(x - 9, y - 22), QPointF(x - 11, y - 16));
    pear.cubicTo(QPointF(x - 13, y - 8), QPointF(x - 9, y), QPointF(x, y));

    p.save();
    p.translate(bottom);
    p.rotate(12);
    p.translate(-bottom);
    p.setPen(QPen(colour(PearDark), 0.9));
    p.setBrush(roundShading(QPointF(x, y - 14), 16, PearLight, PearBase, PearDark));
    p.drawPath(pear);

    QRadialGradient blush(QPointF(x + 5, y - 9), 8);
    blush.setColorAt(0.0, colour(PearBlush));
    blush.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(blush);
    p.drawPath(pear);

    p.setPen(QPen(colour(Stem), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    stem.moveTo(x, y - 32);
    stem.quadTo(QPointF(x + 1, y - 36), QPointF(x + 3.5, y - 38));
    p.drawPath(stem);
    drawGlint(p, QPointF(x - 6, y - 15), 1.8, 4.0, 10);
    p.restore();
}

void drawOrange(QPainter &p, QPointF centre, double r)
{
    p.save();
    p.setPen(QPen(colour(OrangeDark), 0.9));
    p.setBrush(roundShading(centre, r, OrangeLight, OrangeBase, OrangeDark));
    p.drawEllipse(centre, r, r);

    // A little dimpled peel, the green calyx and a shine.
    QColor dimple = colour(OrangeDark);
    dimple.setAlpha(90);
    p.setPen(Qt::NoPen);
    p.setBrush(dimple);
    const std::array<QPointF, 7> dots{{{3, 3}, {6, -2}, {-2, 6}, {7, 5}, {1, 8}, {-6, 2}, {4, -6}}};
    for (const QPointF &d : dots)
        p.drawEllipse(centre + d * (r / 11.0), 0.55, 0.55);

    const QPointF top = centre + QPointF(1.5, -r + 2.5);
    p.setBrush(colour(LeafDark));
    p.drawEllipse(top, 1.6, 1.1);
    drawGlint(p, centre + QPointF(-0.42 * r, -0.45 * r), 2.6, 1.5);
    p.restore();
}

void drawGrapes(QPainter &p, QPointF stalk)
{
    // From the stalk down to the point of the bunch; lower grapes hang in front.
    const double g = 4.2;
    const std::array<QPointF, 12> grapes{{
        {-6, 4}, {2, 3}, {10, 4},
        {-9, 11}, {-1, 11}, {7, 11}, {14, 12},
        {-5, 18}, {3, 18}, {11, 19},
        {-1, 25}, {7, 25},
    }};

    p.save();
    p.setPen(QPen(colour(Stem), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(stalk + QPointF(0, -4), stalk + QPointF(2, 2));
    for (const QPointF &offset : grapes) {
        const QPointF c = stalk + offset;
        p.setPen(QPen(colour(GrapeDark), 0.7));
        p.setBrush(roundShading(c, g, GrapeLight, GrapeBase, GrapeDark));
        p.drawEllipse(c, g, g);
        p.setPen(Qt::NoPen);
        p.setBrush(colour(Highlight));
        p.drawEllipse(c + QPointF(-1.4, -1.5), 1.0, 0.8);
    }
    p.restore();
}

void drawApple(QPainter &p, QPointF centre, double r)
{
    const double x = centre.x();
    const double y = centre.y();
    QPainterPath apple;
    apple.moveTo(x, y - 0.72 * r);
    apple.cubicTo(QPointF(x + 0.4 * r, y - 1.08 * r), QPointF(x + 1.08 * r, y - 0.9 * r),
                  QPointF(x + 1.02 * r, y - 0.05 * r));
    apple.cubicTo(QPointF(x + 0.98 * r, y + 0.7 * r), QPointF(x + 0.5 * r, y + 1.02 * r),
                  QPointF(x + 0.15 * r, y + 0.92 * r));
    apple.quadTo(QPointF(x, y + 0.86 * r), QPointF(x - 0.15 * r, y + 0.92 * r));
    apple.cubicTo(QPointF(x - 0.5 * r, y + 1.02 * r), QPointF(x - 0.98 * r, y + 0.7 * r),
                  QPointF(x - 1.02 * r, y - 0.05 * r));
    apple.cubicTo(QPointF(x - 1.08 * r, y - 0.9 * r), QPointF(x - 0.4 * r, y - 1.08 * r),
                  QPointF(x, y - 0.72 * r));

    p.save();
    p.setPen(QPen(colour(AppleDark), 0.9));
    p.setBrush(roundShading(centre, r, AppleLight, AppleBase, AppleDark));
    p.drawPath(apple);

    p.setPen(QPen(colour(Stem), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    stem.moveTo(x, y - 0.7 * r);
    stem.quadTo(QPointF(x - 0.05 * r, y - 1.0 * r), QPointF(x - 0.25 * r, y - 1.2 * r));
    p.drawPath(stem);
    drawLeaf(p, QPointF(x + 0.05 * r, y - 0.9 * r), QPointF(x + 0.75 * r, y - 1.3 * r), 3.2);
    drawGlint(p, QPointF(x - 0.45 * r, y - 0.4 * r), 1.7, 3.2, 30);
    p.restore();
}

void drawCarrot(QPainter &p, QPointF shoulder, QPointF tip)
{
    const QPointF axis = tip - shoulder;
    const QPointF across = normalOf(unit(axis));
    const double half = 5.0;

    QPainterPath body;
    body.moveTo(shoulder + across * half);
    body.cubicTo(shoulder + across * half + axis * 0.45, tip + across * 1.2 - axis * 0.15, tip);
    body.cubicTo(tip - across * 1.2 - axis * 0.15, shoulder - across * half + axis * 0.45,
                 shoulder - across * half);
    body.cubicTo(shoulder - across * half - axis * 0.07, shoulder + across * half - axis * 0.07,
                 shoulder + across * half);

    // The feathery green top, drawn first so the carrot's shoulder sits over it.
    p.save();
    const QPointF back = -unit(axis);
    const QPen frond(colour(LeafDark), 1.1, Qt::SolidLine, Qt::RoundCap);
    for (const double turn : {-0.3, 0.25, 0.8, 1.6}) {
        const QPointF dir = unit(back + across * turn);
        const QPointF side = normalOf(dir);
        const double reach = turn > 1.0 ? 12.0 : 16.0;
        const QPointF end = shoulder + dir * reach;
        p.setPen(frond);
        p.setBrush(Qt::NoBrush);
        p.drawLine(shoulder, end);
        for (const double f : {0.45, 0.72}) {
            const QPointF at = shoulder + dir * (reach * f);
            drawLeaf(p, at, at + (dir + side) * 3.6, 1.4, LeafLight);
            drawLeaf(p, at, at + (dir - side) * 3.6, 1.4, LeafBase);
        }
        drawLeaf(p, end - dir * 1.0, end + dir * 5.0, 1.8, LeafBase);
    }

    QLinearGradient g(shoulder + across * half, shoulder - across * half);
    g.setColorAt(0.0, colour(CarrotLight));
    g.setColorAt(0.5, colour(CarrotBase));
    g.setColorAt(1.0, colour(CarrotDark));
    p.setPen(QPen(colour(CarrotDark), 0.9));
    p.setBrush(g);
    p.drawPath(body);

    // Grooves: short marks running part-way across the root from alternate sides.
    QColor groove = colour(CarrotDark);
    groove.setAlpha(170);
    p.setPen(QPen(groove, 0.7, Qt::SolidLine, Qt::RoundCap));
    double fromSide = -1.0;
    for (const double f : {0.22, 0.42, 0.6, 0.76}) {
        const double w = half * (1.0 - f) * 0.8;
        const QPointF at = shoulder + axis * f;
        p.drawLine(at + across * w * fromSide, at - across * w * fromSide * 0.2);
        fromSide = -fromSide;
    }
    p.setPen(QPen(colour(Highlight), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shoulder + across * half * 0.45 + axis * 0.08,
               shoulder + across * half * 0.3 + axis * 0.4);
    p.restore();
}

void drawPicture(QPainter &p)
{
    const Horn horn = makeHorn();
    drawShadow(p);
    drawHorn(p, horn);
    drawMouth(p, horn);
    drawBackLeaves(p);
    drawBanana(p, QPointF(116, 78), QPointF(140, 46), QPointF(168, 84));
    drawOrange(p, QPointF(139, 93), 10.5);
    drawPear(p, QPointF(172, 122));
    drawGrapes(p, QPointF(117, 96));
    drawApple(p, QPointF(148, 112), 13.0);
    drawCarrot(p, QPointF(98, 122), QPointF(140, 129));
}

} // namespace

namespace CornucopiaPicture {

QImage image()
{
    QImage picture(Width, Height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(colour(Background));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    drawPicture(p);
    p.end();
    return picture;
}

QPixmap pixmap()
{
    return QPixmap::fromImage(image());
}

} // namespace CornucopiaPicture
