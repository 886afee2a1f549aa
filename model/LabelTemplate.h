// LabelTemplate: a named paper layout holding its pages, discs, covers and the objects on them,
// with the disc layout that says how one or two disc labels share the disc page.
#pragma once

#include "framework/Core.h"
#include "model/ViewObject.h"

enum DiscLayout {
    kLayout1DiscTop = 0,
    kLayout1DiscBottom = 1,
    kLayout1DiscDuplicate = 2,
    kLayout2DiscTop = 3,
    kLayout2DiscBottom = 4,
    kLayout2DiscDuplicate = 5,
};

class CLabelDim;

class LabelTemplate : public CObject {
    DECLARE_SERIAL(LabelTemplate)
public:
    LabelTemplate();
    LabelTemplate(LabelTemplate* source, bool shareImages);
    // A template of a label stock record: its name and the objects the record describes; a null
    // record gives the plain template.
    explicit LabelTemplate(const CLabelDim* record);
    ~LabelTemplate() override;
    LabelTemplate(const LabelTemplate&) = delete;
    LabelTemplate& operator=(const LabelTemplate&) = delete;

    static CString LayoutName(int layout);
    static int LayoutFromName(const CString& name, int oldCode);

    bool IsSingleDiscLayout() const { return layout >= 0 && layout <= 2; }
    bool IsTwoDiscLayout() const { return layout >= 3 && layout <= 5; }
    bool IsDuplicateLayout() const { return layout == 2 || layout == 5; }
    bool IsLightScribe() const { return name == "LightScribe"; }

    // Finders: the first match in drawing order, or null.
    ViewObject* FindPage(int side) const;
    ViewObject* GetDisc(int n) const;
    ViewObject* GetFrontCover() const;
    ViewObject* GetBackCover() const;
    ViewObject* GetLeftTab() const;
    ViewObject* GetRightTab() const;
    ViewObject* GetFrontCoverInside() const;
    bool HasDisc() const { return GetDisc(-1) != nullptr; }
    bool HasJewelBack() const;
    bool HasDvdBack() const;
    bool HasBlurayBack() const;
    bool HasCover() const;

    int GetCaseKind() const;
    bool AreCoversOnSamePage() const;
    bool IsFrontCoverFolded() const;
    bool IsDiscCentered() const;

    void AddObject(ViewObject* object) { objects.Add(object); }
    void InsertObjectAfter(ViewObject* object, ViewObject* after);
    void RemoveObject(ViewObject* object, bool deleteIt);
    void RemoveEmptyImages();
    // Deletes every object (DeleteViewObject) and empties the list.
    void DeleteObjects();

    void SetLayout(int value);
    void ApplyDuplicateLayout();
    void CenterDiscs(bool center, bool letterPage);
    void CopyFrom(LabelTemplate* source, bool shareImages);

    void Serialize(CArchive& ar) override;

    int GetObjectCount() const { return static_cast<int>(objects.GetSize()); }
    ViewObject* GetObject(int i) const { return static_cast<ViewObject*>(objects[i]); }

    CString name;
    int layout = 0;
    CObArray objects;  // ViewObject pointers, owned (except by temporary collections)

private:
    ViewObject* FindFirst(bool (*match)(const ViewObject*)) const;
    void MoveOnSide(const CString& side, int dx, int dy, bool includeSides);
};

// Deletes the template's objects, then the template; null is ignored.
void DeleteLabelTemplate(LabelTemplate* labelTemplate);
