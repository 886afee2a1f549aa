// AeroButton: the push button of every dialog. Under visual styles the system draws it as a
// standard push button with the "Explorer" window theme; without them it is an owner-drawn
// CIconButton whose face is a generated grey surface, lighter towards the top-left and darker
// towards the bottom-right, lightly noisy, that brightens under the pointer.
//
// A dialog attaches it with SubclassDlgItem and then calls GenerateBackground(6, 8, 10, 0, 0).
#pragma once

#include "controls/IconButton.h"
#include "controls/PaletteDib.h"

class AeroButton : public CIconButton {
    DECLARE_DYNAMIC(AeroButton)
public:
    AeroButton();
    ~AeroButton() override;

    // Builds the face and hover images for the current window size (plain look only).
    void GenerateBackground(int pattern, BYTE noise, int hoverPercent, int blendPercent,
                            COLORREF blendColour);
    // Re-decides the look after a change of theme or composition.
    void UpdateTheme();

    DWORD OnDrawBackground(CDC* dc, RECT* rect) override;
    DWORD OnDrawBorder(CDC* dc, RECT* rect) override;
    virtual void ReleaseImages();

    const CPaletteDib& GetFaceImage() const { return m_face; }
    const CPaletteDib& GetHoverImage() const { return m_hover; }

    void OnSysColorChange();
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    CString m_captionText;
    CPaletteDib m_face;
    CPaletteDib m_hover;
    CPaletteDib m_faceCopy;
    CPaletteDib m_hoverCopy;
    CPaletteDib m_rowStrip;
    CPaletteDib m_columnStrip;
};
