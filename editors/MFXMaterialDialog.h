#pragma once
// Edits one material: its colours, shininess and flat flag on the
// "Definition" tab with a live preview, material files, and a list of named
// materials to start from. Every change is sent to the target at once
// (SEL_CHANGED with a GLMaterial*) when "Update View immediately" is
// checked; "Apply" sends it as SEL_COMMAND.

#include "editors/MFXEditingDialog.h"
#include "editors/MessageBoxReporter.h"
#include "materials/GLMaterial.h"

class MFXMaterialDialog : public MFXEditingDialog {
    FXDECLARE(MFXMaterialDialog)

public:
    enum {
        ID_COLOR = MFXEditingDialog::ID_LAST,
        ID_SHININESS,
        ID_FLAT,
        ID_PREVIEW,
        ID_LOAD,
        ID_SAVE,
        ID_LIST,
        ID_LAST
    };

    MFXMaterialDialog(FXWindow* owner, const FXString& title = "Material Dialog", FXObject* target = nullptr,
                      FXSelector selector = 0);
    ~MFXMaterialDialog() override;

    long onCmdColor(FXObject*, FXSelector, void*);
    long onPaintPreview(FXObject*, FXSelector, void*);
    long onCmdLoad(FXObject*, FXSelector, void*);
    long onCmdSave(FXObject*, FXSelector, void*);
    long onCmdList(FXObject*, FXSelector, void*);

    void setMaterial(const GLMaterial& material);
    const GLMaterial& getMaterial() const { return material; }

    // Material files; a failure is reported with its title and message and
    // leaves the material as it was.
    bool loadMaterial(const FXString& path);
    bool saveMaterial(const FXString& path);
    // Where failures go (an error message box over the dialog by default).
    void setFailureReporter(FailureReporter* reporter) { failures = reporter; }

    FXColorWell* diffuseWell() const { return diffuse; }
    FXCheckButton* flatCheck() const { return flat; }
    FXTreeList* materialList() const { return list; }

private:
    MFXMaterialDialog() {}
    MFXMaterialDialog(const MFXMaterialDialog&);
    MFXMaterialDialog& operator=(const MFXMaterialDialog&);
    void showMaterial();
    void materialEdited();
    void* workingValue() override { return &material; }

    GLMaterial material;
    FXGLVisual* visual = nullptr;
    FXColorWell* diffuse = nullptr;
    FXColorWell* ambient = nullptr;
    FXColorWell* specular = nullptr;
    FXColorWell* emission = nullptr;
    FXCheckButton* flat = nullptr;
    FXRealSpinner* shininess = nullptr;
    FXGLCanvas* preview = nullptr;
    FXTreeList* list = nullptr;
    MessageBoxReporter messageBoxes{this};
    FailureReporter* failures = &messageBoxes;
};
