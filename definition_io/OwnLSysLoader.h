#pragma once
// The reader of ".kld" definition files: one element per line, a key, ":"
// and the element's text, e.g.
//   Name:bush
//   Rule:0.5:A:B:F:x>1:FF          probability:left:right:predecessor:condition:successor
//   Def:_steps:5
//   ShapeDef:F visible=1, interpreted=1, type=tube, width=2
//   LightDef:position=(0,100,0,1)
// A line whose key begins with "#" is a comment. The definition keeps the
// file's lines (setReadLayout, DefinitionWriter.h) for saving.

#include "definition_io/LSysLoader.h"

class OwnLSysLoader : public LSysLoader {
public:
    std::unique_ptr<LSystemDefinition> load(tov::ErrorHandler& handler, const std::string& fileName,
                                            const std::string& text) override;
};
