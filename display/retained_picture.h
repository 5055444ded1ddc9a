#pragma once
// A picture that keeps the frame last drawn on it, with that frame's list
// of drawing calls. The next frame is drawn only where its calls differ:
// those areas are cleared to the blank picture's white and every call that
// reaches them is drawn again, clipped to them. Everywhere else the same
// calls would draw the same pixels, so the picture is the one a full
// drawing of the frame onto a blank image gives; what stays (the cab's
// face, the scales, the frame of the side view...) is drawn once per size
// and display and kept, and drawn again only under what moves over it.
// Where such a call must be drawn again, a picture given kept call pixels
// lays down the call's kept runs instead (call_pixels.h).

#include <QImage>
#include <vector>

#include "call_pixels.h"
#include "draw_list.h"
#include "qt_canvas.h"

namespace zt40 {

class RetainedPicture {
public:
    // A blank (white) picture of `size` device-independent pixels; calls
    // that stay are laid from `pixels` where given (and the ratio is 1),
    // which may serve several pictures.
    explicit RetainedPicture(QSize size = QSize(1, 1), qreal devicePixelRatio = 1.0, CallPixels* pixels = nullptr);

    const QImage& image() const { return image_; }
    // The list of the frame on the picture.
    const DrawList& shown() const { return shown_; }
    // Blank again, at another size.
    void reset(QSize size, qreal devicePixelRatio);

    // Brings the frame `next` onto the picture and keeps its list; `next`
    // gets the list that was kept before, to record a later frame into.
    // The areas drawn again (client px, inside the picture); none when the
    // picture stayed as it was.
    std::vector<PixelRect> show(DrawList& next);

private:
    QImage image_;
    DrawList shown_;
    TextFonts fonts_;
    CallPixels* pixels_;
};

}  // namespace zt40
