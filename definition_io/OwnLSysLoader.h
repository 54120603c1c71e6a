#pragma once
// The reader of ".kld" definition files: one element per line, a key, ":"
// and the element's text, e.g.
//   Name:bush
//   Rule:0.5:A:B:F:x>1:FF          probability:left:right:predecessor:condition:successor
//   Def:_steps:5
//   ShapeDef:F visible=1, interpreted=1, type=tube, width=2
//   LightDef:position=(0.000,100.000,0.000,1.000)

#include "definition_io/LSysLoader.h"

class OwnLSysLoader : public LSysLoader {
public:
    std::unique_ptr<LSystemDefinition> load(tov::ErrorHandler& handler, const std::string& fileName,
                                            const std::string& text) override;
};
