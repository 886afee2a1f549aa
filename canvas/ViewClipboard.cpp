// The Edit commands that move objects and text between the design and the system clipboard:
// whole objects (texts and track lists in the own format, images as their bytes and a bitmap, a
// large one's made when a program asks for it), selected text as plain text, and pasting either
// back with its undo step.
#include <cstring>
#include <memory>

#include "canvas/AppCanvasState.h"
#include "canvas/CanvasMessage.h"
#include "canvas/View.h"
#include "canvas/WorkAside.h"
#include "model/ImageStream.h"
#include "model/PictureHeaders.h"

using namespace Gdiplus;

namespace {

bool IsTextual(const ViewObject* o) {
    return o && (o->IsText() || o->IsTrackList());
}

CString TooLargeText(const char* doing) {
    CString text;
    text.Format(
        "This picture is too large to %s. Pictures of up to %u megapixels can be used, as far as the "
        "memory left allows.",
        doing, static_cast<unsigned>(kMaxPicturePixels / 1000000));
    return text;
}

// Says what an image's copy did when it was not all the user asked for.
void TellImageCopy(CWnd* owner, ImageCopyResult result) {
    switch (result) {
        case ImageCopyResult::kCopied:
            return;
        case ImageCopyResult::kWithoutBitmap:
            ShowCanvasMessageOk(
                owner, kMessageInformation, CString(),
                "This picture is too large to be copied as a bitmap in the memory left, so other "
                "programs cannot paste it.\r\n\r\nIt was copied for Korvanelle: Paste Object "
                "pastes it here.");
            return;
        case ImageCopyResult::kTooLarge:
            ShowCanvasMessageOk(owner, kMessageError, CString(), TooLargeText("copy"));
            return;
        case ImageCopyResult::kUnreadable:
            ShowCanvasMessageOk(owner, kMessageError, CString(), "Invalid image format.");
            return;
        case ImageCopyResult::kClipboardBusy:
            ShowCanvasMessageOk(
                owner, kMessageError, CString(),
                "The clipboard is in use by another program. Nothing was copied; please try again.");
            return;
    }
}

}  // namespace

void View::OnCopyObject() {
    GuardOperation(920, [&] { CopySelectedObject(); });
}

bool View::WaitForPictureWork(ViewObject* picture, std::unique_ptr<LargePictureWork>& work) {
    const CString name = picture->name;
    const PictureHeaderCheck headers = picture->image.CheckHeaders();
    const unsigned long long pixels = static_cast<unsigned long long>(headers.width) * headers.height;
    return AnswerUntil(m_hWnd, [&] {
        ViewObject* p = m_design.FindObject(name);
        if (p && p->decodeTicket != 0 && m_pictureJobs.Pending()) return false;
        work.reset(new LargePictureWork(pixels, std::try_to_lock));
        return work->Started();
    });
}

bool View::CopySelectedObject() {
    CWaitCursor wait;
    ViewObject* selected = m_design.GetFirstSelected();
    if (!selected) return false;
    std::unique_ptr<LargePictureWork> work;
    if (selected->IsImage() && IsSlowToDecode(selected->image.CheckHeaders())) {
        if (!WaitForPictureWork(selected, work)) return false;
        selected = m_design.GetFirstSelected();
        if (!selected) return false;
    }
    if (selected->IsImage()) {
        ImageCopyResult result = ImageCopyResult::kUnreadable;
        const bool copied = CopyPictureToClipboard(selected, work != nullptr, result);
        // The turn among large work is given up before any box: a program asking meanwhile for
        // the bitmap of an earlier copy has it made on a thread that waits for that turn.
        work.reset();
        TellImageCopy(this, result);
        return copied;
    }
    return selected->CopyToClipboard(AppCanvasState::Get().m_clipboardFormat);
}

bool View::CopyPictureToClipboard(ViewObject* picture, bool large, ImageCopyResult& result) {
    // A large picture's bitmap, hundreds of megabytes, is made only when a program asks for it,
    // from its bytes kept here.
    const HWND renderer = large ? m_hWnd : nullptr;
    const bool copied = picture->CopyImageToClipboard(&result, renderer);
    if (renderer && result == ImageCopyResult::kCopied && ::GetClipboardOwner() == renderer) {
        m_copiedPicture = picture->image.GetStream();
        m_copiedPicture->AddRef();
    }
    return copied;
}

void View::RenderCopiedPicture(bool answering) {
    IStream* const bytes = m_copiedPicture;
    if (!bytes) return;
    CWaitCursor wait;
    bytes->AddRef();
    auto holder = [&] {
        return m_design.FindObjectIf([&](const ViewObject* o) {
            return o->IsImage() && o->image.GetStream() == bytes && !o->image.IsBorrowed();
        });
    };
    // Lent, the screen's decode is read by the work alone; the canvas shows its scaled copy.
    ViewObject* o = holder();
    Bitmap* lent = o ? o->TakeDecodedImage() : nullptr;
    HGLOBAL dib = nullptr;
    bool handed = false;
    const HWND window = m_hWnd;
    RunAside(
        window,
        [&] {
            std::unique_ptr<Bitmap> decoded;
            IStream* copy = nullptr;
            if (!lent && SUCCEEDED(bytes->Clone(&copy)) && copy) {
                IStreamObject picture;
                picture.Attach(copy);
                decoded.reset(picture.CreateBitmap());
            }
            Bitmap* source = lent ? lent : decoded.get();
            if (!source) return;
            LargePictureWork work(static_cast<unsigned long long>(source->GetWidth()) * source->GetHeight());
            dib = MakeClipboardDib(source);
            // The hand-over may take as long again (the system may copy the block): done here too
            // where the system takes it from this thread, else on the window's.
            if (answering && dib && ::SetClipboardData(CF_DIB, dib)) {
                dib = nullptr;
                handed = true;
            }
        },
        // A program waits on this thread meanwhile: what is posted and the timers (any of which
        // may bring a box or a question) wait until it has its answer.
        answering, false);
    if (dib) {
        handed = ::IsWindow(window) && ::SetClipboardData(CF_DIB, dib);
        if (!handed) ::GlobalFree(dib);
    }
    // Told once the program that asked has its answer: a box now would keep it waiting.
    if (answering && !handed && ::IsWindow(window)) ::PostMessage(window, WM_COPIED_PICTURE_UNMADE, 0, 0);
    o = lent && ::IsWindow(window) ? holder() : nullptr;
    if (o && !o->decodedImage)
        o->SetDecodedImage(lent);
    else
        delete lent;
    bytes->Release();
}

LRESULT View::OnRenderFormat(WPARAM format, LPARAM) {
    GuardOperation(935, [&] {
        if (format == CF_DIB) RenderCopiedPicture(true);
    });
    return 0;
}

LRESULT View::OnCopiedPictureUnmade(WPARAM, LPARAM) {
    ShowCanvasMessageOk(this, kMessageInformation, CString(),
                        "A program asked for the bitmap of the picture copied, but the bitmap could not be "
                        "made: there is too little memory left, or the picture's data is damaged.\r\n\r\n"
                        "Paste Object still pastes the picture here.");
    return 0;
}

LRESULT View::OnRenderAllFormats(WPARAM, LPARAM) {
    GuardOperation(936, [&] {
        // The program ends: the copy stays whole for the programs that paste it later.
        if (!m_copiedPicture || !::OpenClipboard(m_hWnd)) return;
        if (::GetClipboardOwner() == m_hWnd) RenderCopiedPicture(false);
        ::CloseClipboard();
    });
    return 0;
}

LRESULT View::OnDestroyClipboard(WPARAM, LPARAM) {
    if (m_copiedPicture) m_copiedPicture->Release();
    m_copiedPicture = nullptr;
    return 0;
}

void View::OnCutObject() {
    GuardOperation(921, [&] {
        // The object goes only when it really is on the clipboard.
        if (CopySelectedObject()) OnDeleteObject();
    });
}

void View::OnPasteObject() {
    GuardOperation(3304, [&] {
        CWaitCursor wait;
        bool pending = m_contextPoint != CPoint(-1, -1);
        CPoint point;
        if (pending) {
            CPoint p = m_contextPoint;
            if (m_hWnd) ScreenToClient(&p);
            Point d = ClientToDesign(p);
            point = CPoint(d.X, d.Y);
            m_contextPoint = point;
            ViewObject* side = m_design.GetCurrentSide();
            if (!side) return;
            RectF r = side->GetRectF(false);
            if (!(point.x >= r.X && point.x < r.X + r.Width && point.y >= r.Y && point.y < r.Y + r.Height)) {
                pending = false;
                m_contextPoint = CPoint(-1, -1);
            }
        }
        ViewObject* side = m_design.GetCurrentSide();
        if (!side) return;
        ViewObject* o = new ViewObject;
        // A picture wins over a copied object: its own bytes (copied here), or a bitmap.
        bool image =
            ::IsClipboardFormatAvailable(PictureClipboardFormat()) || ::IsClipboardFormatAvailable(CF_DIB);
        if (image) {
            o->type = kObjectImage;
            bool tooLarge = false;
            if (!o->PasteImageFromClipboard(&tooLarge)) {
                DeleteViewObject(o);
                ShowCanvasMessageOk(this, kMessageError, CString(),
                                    tooLarge ? TooLargeText("paste") : CString("Invalid image format."));
                return;
            }
            o->name = "Image";
            o->bBackground = 0;
            o->bAspectRatio = 1;
            o->width = o->height = 1000;
        } else {
            g_loadingAlbumInfo = &m_design.albumInfo;
            const bool read = o->PasteFromClipboard(AppCanvasState::Get().m_clipboardFormat);
            g_loadingAlbumInfo = nullptr;
            if (!read) {
                DeleteViewObject(o);
                return;
            }
        }
        o->side = side->side;
        o->sideName = m_design.currentSideName;
        m_design.AssignUniqueName(o);
        if (image) {
            int w = o->width, h = o->height;
            if (GetImageNaturalSize(o, w, h, false)) {
                o->width = w;
                o->height = h;
            }
        } else if (o->IsTrackList()) {
            const CString& layout = o->textLayout;
            if (o->side == 1) {
                if (layout == "1 Column" || layout == "Table Format") o->textLayout = "Bottom";
            } else if (layout != "1 Column" && layout != "2 Columns" && layout != "Table Format") {
                o->textLayout = "1 Column";
            }
        }
        CRect rect(0, 0, o->width, o->height);
        if (pending)
            rect.OffsetRect(point.x - rect.Width() / 2, point.y - rect.Height() / 2);
        else
            PlaceObject(rect, !image);
        o->left = rect.left;
        o->top = rect.top;
        o->width = rect.Width();
        o->height = rect.Height();
        if (!image && o->bLinkText) m_select.SetObjectText(o, FALSE);
        BeginUndoStep();
        ViewObject* anchor = m_design.GetFirstSelected() ? nullptr : side;
        RecordUndoValue("prevOrder", anchor, "", "");
        m_design.AddObject(o);
        StopOutlineTimer();
        OnSelectionChanged(o->name, FALSE);
        RecordUndoValue("nextRich", o, "", "");
        RecordUndoValue("nextOrder", o, "", "");
        EndUndoStep();
        StartOutlineTimer();
        Redraw(true);
        m_select.Refresh();
    });
}

void View::OnCopyImage() {
    GuardOperation(923, [&] {
        if (m_imageToCopy.IsEmpty()) return;
        CWaitCursor wait;
        // The file's bytes are copied as they are, and decoded only for the bitmap.
        ViewObject* o = new ViewObject;
        o->type = kObjectImage;
        PictureHeaderCheck headers;
        ImageCopyResult result = ImageCopyResult::kUnreadable;
        const bool read = o->ReadImageFile(m_imageToCopy, &headers), large = read && IsSlowToDecode(headers);
        // A large one is decoded, from a copy of its bytes, while the window answers (one that
        // does not decode is not copied); a refusal for its size is left to the copy, which then
        // takes its bytes alone.
        bool tooLarge = false;
        if (large)
            RunAside(m_hWnd, [&] {
                IStreamObject bytes;
                if (bytes.CopyFrom(o->image.GetStream())) o->SetDecodedImage(bytes.CreateBitmap(&tooLarge));
            });
        if (read && (!large || o->decodedImage || tooLarge))
            CopyPictureToClipboard(o, large, result);
        else if (headers.tooLarge)
            result = ImageCopyResult::kTooLarge;
        DeleteViewObject(o);
        m_imageToCopy.Empty();
        TellImageCopy(this, result);
    });
}

void View::OnEditCopyText() {
    GuardOperation(924, [&] {
        CWaitCursor wait;
        CopyTextToClipboard(m_design.GetFirstSelected());
    });
}

CString View::GetSelectedText(ViewObject* object) {
    CString text;
    if (!IsTextual(object)) return text;
    int start = 0, end = 0;
    m_select.GetSelection(start, end);
    const int count = object->GetCharCount();
    const CString separator(kTrackFieldEnd, 1);
    if (object->IsText()) {
        for (int i = start; i < end && i < count; ++i) {
            const CString& c = object->chars[i];
            if (c == separator) continue;
            text += c == "\r" ? CString("\r\n") : c;
        }
        return text;
    }
    // Track lists: the selected characters field by field; a line ends after each track record
    // from which something was taken when the selection covers more than one row.
    const bool severalRows = m_select.m_startRow != m_select.m_endRow;
    int field = 0;
    bool taken = false;
    for (int i = 0; i < count; ++i) {
        const CString& c = object->chars[i];
        if (c == separator) {
            if (i == count - 1) {
                if (taken && severalRows) text += "\r\n";
                break;
            }
            if (++field == 3) {
                if (taken && severalRows) text += "\r\n";
                field = 0;
                taken = false;
            }
            continue;
        }
        if (!TextEditing::IsCharSelected(*object, m_select, i)) continue;
        text += c == "\r" ? CString("\r\n") : c;
        taken = true;
    }
    return text;
}

bool View::CopyTextToClipboard(ViewObject* object) {
    bool handed = false;
    GuardOperation(925, [&] {
        if (!IsTextual(object)) return;
        if (!::OpenClipboard(m_hWnd)) return;
        ::EmptyClipboard();
        const CString text = GetSelectedText(object);
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.GetLength() + 1);
        if (char* p = block ? static_cast<char*>(::GlobalLock(block)) : nullptr) {
            std::memcpy(p, text.GetString(), text.GetLength() + 1);
            ::GlobalUnlock(block);
            handed = ::SetClipboardData(CF_TEXT, block) != nullptr;
        }
        if (block && !handed) ::GlobalFree(block);
        ::CloseClipboard();
    });
    return handed;
}

void View::OnEditCutText() {
    GuardOperation(926, [&] {
        ViewObject* selected = m_design.GetFirstSelected();
        if (!IsTextual(selected)) return;
        if (!CopyTextToClipboard(selected)) return;
        BeginUndoStep();
        m_select.DeleteChars(true, true);
        EndUndoStep();
    });
}

void View::OnEditPasteText() {
    GuardOperation(3305, [&] {
        CWaitCursor wait;
        ViewObject* selected = m_design.GetFirstSelected();
        if (!IsTextual(selected)) return;
        const CString text = selected->PasteText();
        if (text.IsEmpty()) return;
        BeginUndoStep();
        m_select.InsertText(text);
        EndUndoStep();
    });
}
