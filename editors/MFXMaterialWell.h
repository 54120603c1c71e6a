#pragma once
// A swatch holding one material: a lit sphere preview, the material text as
// drag-and-drop and selection data, and the material dialog on a double
// click. The target receives SEL_COMMAND (and SEL_CHANGED for live edits in
// the dialog) with a GLMaterial*.

#include "editors/MFXSwatch.h"
#include "materials/GLMaterial.h"

class MFXMaterialWell : public MFXSwatch {
    FXDECLARE(MFXMaterialWell)

public:
    MFXMaterialWell(FXComposite* parent, const GLMaterial& material = GLMaterial::shapeDefault(),
                    FXObject* target = nullptr, FXSelector selector = 0, FXuint options = FRAME_NORMAL, FXint x = 0,
                    FXint y = 0, FXint width = 0, FXint height = 0, FXint padLeft = DEFAULT_PAD,
                    FXint padRight = DEFAULT_PAD, FXint padTop = DEFAULT_PAD, FXint padBottom = DEFAULT_PAD);

    long onDialog(FXObject*, FXSelector, void*);

    void setMaterial(const GLMaterial& material, bool notify = false);
    const GLMaterial& getMaterial() const { return material; }

    FXString valueText() const override;

protected:
    MFXMaterialWell() {}
    bool readValue(const FXString& text) override;
    void* valueData() override { return &material; }
    bool renderPreview(int width, int height, std::vector<FXColor>& pixels) override;
    void runDialog() override;

private:
    GLMaterial material;
};
