// The pictures of the shown side that are slow to decode: the side is drawn at once without them,
// and each comes from a thread of its own, decoded and scaled for the screen there, as a large
// inserted picture does. Only the shown side's pictures are kept decoded.
#include <algorithm>
#include <utility>

#include "canvas/CanvasMessage.h"
#include "canvas/View.h"
#include "model/PictureHeaders.h"

bool View::DecodeShownPicture(ViewObject* picture, int width, int height) {
    if (!m_hWnd || !picture || picture->image.IsEmpty()) return false;
    if (picture->decodeTicket != 0) return true;
    // One that did not decode is left out until its side is shown again, not decoded on every
    // drawing.
    const std::pair<const ViewObject*, const IStream*> known(picture, picture->image.GetStream());
    if (std::find(m_undecodedShownPictures.begin(), m_undecodedShownPictures.end(), known) !=
        m_undecodedShownPictures.end())
        return true;
    if (!IsSlowToDecode(picture->image.CheckHeaders())) return false;
    const unsigned ticket = m_pictureJobs.Start(picture->image.GetStream(), m_hWnd, WM_PICTURES_DECODED);
    if (ticket == 0) return false;
    picture->decodeTicket = ticket;
    m_pictureJobs.SetScreenSize(ticket, width, height, picture->hue, picture->saturation, picture->lightness);
    return true;
}

bool View::TakeShownPictureOutcome(const PictureDecodeJobs::Decoded& outcome) {
    ViewObject* picture =
        m_design.FindObjectIf([&](const ViewObject* o) { return o->decodeTicket == outcome.ticket; });
    if (!picture) return false;
    if (!outcome.ok) {
        picture->decodeTicket = 0;
        m_undecodedShownPictures.emplace_back(picture, picture->image.GetStream());
        // The side shows without it: the user is told which picture is missing and why.
        CString text;
        if (outcome.tooLarge)
            text.Format(
                "This picture is too large to be shown (pictures of up to %u megapixels can be used, as far "
                "as the memory left allows); the design keeps it:",
                static_cast<unsigned>(kMaxPicturePixels / 1000000));
        else
            text = "This picture could not be read; the design keeps it, but it is not shown:";
        ShowCanvasMessageOk(this, kMessageWarning, CString(), text + "\r\n\r\n" + picture->PictureName());
    }
    return true;
}

bool View::KeepsDecodedPicture(const ViewObject* picture) {
    return picture->side == m_design.GetCurrentSideIndex();
}

void View::StopPictureDecodesExceptSide(int side) {
    // They would hold the decoder and hundreds of megabytes for pictures that are not kept, while
    // the shown side's wait.
    m_design.ForEachObject([&](ViewObject* o) {
        const unsigned ticket = o->decodeTicket;
        if (ticket == 0 || o->side == side ||
            std::any_of(m_pendingPictures.begin(), m_pendingPictures.end(),
                        [&](const PendingPicture& p) { return p.ticket == ticket; }))
            return;
        m_pictureJobs.Stop(ticket);
        o->decodeTicket = 0;
    });
}
