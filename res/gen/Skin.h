#pragma once
// The console's skin: every picture is drawn here at build time. Each family source
// registers its pictures into the catalogue; the state pictures of a button are drawn
// from one painter with the look of each state.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <functional>
#include <map>

namespace skin {

// ---- palette ----------------------------------------------------------------------
namespace pal {
inline const QColor kInk(0xD5, 0xDE, 0xE6);        // light glyph on dark
inline const QColor kInkDim(0x8A, 0x97, 0xA3);     // secondary glyph
inline const QColor kInkOff(0x5E, 0x68, 0x72);     // disabled glyph
inline const QColor kAccent(0x35, 0xC2, 0xE8);     // focus cyan
inline const QColor kAccentDeep(0x15, 0x84, 0xA8); // pressed cyan
inline const QColor kGreen(0x3C, 0xC8, 0x6E);
inline const QColor kGreenDeep(0x22, 0x9A, 0x4E);
inline const QColor kRed(0xEE, 0x4B, 0x4B);
inline const QColor kRedDeep(0xB8, 0x2C, 0x2C);
inline const QColor kAmber(0xF5, 0xA6, 0x23);
inline const QColor kOrange(0xFF, 0x7A, 0x2E);
inline const QColor kViolet(0xA9, 0x86, 0xF5);
inline const QColor kBlue(0x4A, 0x9D, 0xFF);
inline const QColor kSlate(0x3A, 0x45, 0x4F);
inline const QColor kSlateHi(0x4C, 0x5A, 0x66);
inline const QColor kSlateLo(0x24, 0x2C, 0x33);
} // namespace pal

enum State { Disabled = 0, Normal = 1, Focused = 2, Pressed = 3 };
const char *Suffix(State s);

// How a glyph button looks in a state.
struct Look {
    State state = Normal;
    QColor ink;      // glyph colour
    QColor plate;    // background plate (transparent: none)
    QColor ring;     // plate outline (transparent: none)
    qreal shift = 0; // pressed glyphs sink by a pixel
};
// The look of a plain glyph on the dark bars: transparent at rest, a soft cyan plate
// under the pointer, a deeper one when pressed, a faded glyph when disabled.
Look BarLook(State s, QColor ink = pal::kInk);

// ---- catalogue --------------------------------------------------------------------
class Catalogue {
public:
    void Add(const QString &name, const QImage &image);
    const std::map<QString, QImage> &Pictures() const { return pictures_; }

private:
    std::map<QString, QImage> pictures_;
};

QImage NewImage(int w, int h);
// Begins painting with antialiasing on.
void Prepare(QPainter &p);

// Draws a picture for every listed state: names are stem + suffix.
using StatePainter = std::function<void(QPainter &, const QRectF &, const Look &)>;
void AddStates(Catalogue &cat, const QString &stem, int w, int h, std::initializer_list<State> states,
               const StatePainter &paint, const std::function<Look(State)> &look = [](State s) { return BarLook(s); });

// A rounded plate under a glyph (focus and pressed feedback).
void Plate(QPainter &p, const QRectF &r, const Look &look, qreal radius = 4);

// ---- glyphs (drawn in a box, scaled from a 24-unit design grid) ------------------
// Sets up the painter so that a 24 x 24 design grid fills the square centred in box
// with the given side; restores with p.restore().
void Grid24(QPainter &p, const QRectF &box, qreal side, qreal shift = 0);
QPen Stroke(const QColor &c, qreal width);

void Handset(QPainter &p, const QColor &c);                 // phone handset, 24 grid
void Person(QPainter &p, const QColor &c, qreal cx, qreal top, qreal scale);
void CctvCamera(QPainter &p, const QColor &c);
void VideoCamera(QPainter &p, const QColor &c, const QRectF &body);
void Microphone(QPainter &p, const QColor &c);
void Chevron(QPainter &p, const QColor &c, qreal cx, qreal cy, qreal size, int direction, qreal width);
void ArrowLine(QPainter &p, const QColor &c, QPointF from, QPointF to, qreal width, qreal head);

// ---- families ---------------------------------------------------------------------
void AddTitleButtons(Catalogue &cat);
void AddBarToggles(Catalogue &cat);
void AddSplitLayouts(Catalogue &cat);
void AddOperateBar(Catalogue &cat);
void AddTaskButtons(Catalogue &cat);
void AddScrollArrows(Catalogue &cat);
void AddCellIcons(Catalogue &cat);
void AddDialogButtons(Catalogue &cat);
void AddDialPad(Catalogue &cat);
void AddVideoTools(Catalogue &cat);
void AddFormArt(Catalogue &cat);

} // namespace skin
