#pragma once
// The Definition tab: name, multi-character switch, axiom, iterations, the
// rule table (with columns that View → Rule Table Options shows and hides),
// the default rotations and the initial direction.

#include <fx.h>

#include <array>

class FXRealSpinDial;
class MFXAddEditTypedTable;
class PanelHost;

class DefinitionPanel : public FXVerticalFrame {
    FXDECLARE(DefinitionPanel)
public:
    enum {
        ID_NAME = FXVerticalFrame::ID_LAST,
        ID_AXIOM,
        ID_ITERATIONS,
        ID_MULTICHAR,
        ID_IDIRX,
        ID_IDIRY,
        ID_IDIRZ,
        ID_ROTX,
        ID_ROTY,
        ID_ROTZ,
        ID_RULES,
        ID_SHOW_PROBABILITIES,
        ID_SHOW_LEFT,
        ID_SHOW_RIGHT,
        ID_SHOW_CONSTRAINTS,
        ID_LAST
    };

    DefinitionPanel(FXComposite* parent, PanelHost& host);

    void create() override;
    // Shows the document.
    void showDocument();
    // Shows the definition's name.
    void showName();
    bool multiCharWords() const;
    // The switch of a new document, on the check and in the document.
    void setMultiCharWords(bool on);

    FXTextField* nameField() const { return myNameField; }
    FXTextField* axiomField() const { return myAxiomField; }
    FXRealSpinDial* iterationsDial() const { return myIterationsDial; }
    FXRealSpinDial* directionDial(int axis) const { return myDirectionDials[axis]; }
    FXCheckButton* multiCharCheck() const { return myMultiCharCheck; }
    MFXAddEditTypedTable* ruleTable() const { return myRuleTable; }

    long onCmdName(FXObject*, FXSelector, void*);
    long onCmdAxiom(FXObject*, FXSelector, void*);
    long onCmdIterations(FXObject*, FXSelector, void*);
    long onCmdRotation(FXObject*, FXSelector, void*);
    long onCmdMultiChar(FXObject*, FXSelector, void*);
    long onRulesChanged(FXObject*, FXSelector, void*);
    long onCmdRuleColumn(FXObject*, FXSelector, void*);
    long onUpdRuleColumn(FXObject*, FXSelector, void*);

protected:
    DefinitionPanel() = default;

private:
    void fillRuleTable();

    PanelHost* myHost = nullptr;
    FXTextField* myNameField = nullptr;
    FXCheckButton* myMultiCharCheck = nullptr;
    FXTextField* myAxiomField = nullptr;
    FXRealSpinDial* myIterationsDial = nullptr;
    MFXAddEditTypedTable* myRuleTable = nullptr;
    std::array<bool, 4> myRuleColumnShown{};
    std::array<FXRealSpinDial*, 3> myRotationDials{};
    std::array<FXRealSpinDial*, 3> myDirectionDials{};
    // The last iteration count recorded, so that a value typed again adds
    // no command.
    int myLastIterations = 3;
};
