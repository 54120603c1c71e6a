#include "lsys/LSystemDefinition.h"

#include <algorithm>

#include "options/TextConvert.h"

LSystemDefinition::LSystemDefinition() {
    static const std::pair<const char*, const char*> specials[] = {
        {"_step", "0"},  {"_steps", "4"},     {"_rotX", "60"},         {"_rotY", "60"},
        {"_rotZ", "60"}, {"_idirX", "0"},     {"_idirY", "0"},         {"_idirZ", "0"},
        {"_seed", "42"}, {"_multichar", "0"}, {"_currentCamera", "0"}, {"_shpscope", "0"},
    };
    for (const auto& special : specials) {
        myReservedNames.emplace_back(special.first);
        myConstants[special.first] = ConstantDef{special.first, "", special.second};
    }
}

void LSystemDefinition::addRule(float probability, const std::string& leftContext, const std::string& rightContext,
                                const std::string& predecessor, const std::string& condition,
                                const std::string& successor) {
    myRules.push_back(RuleRow{probability, leftContext, predecessor, rightContext, condition, successor});
}

void LSystemDefinition::addConstant(const std::string& name, const std::string& value) {
    ConstantDef constant{name, "", value};
    const std::size_t open = name.find('(');
    if (open != std::string::npos) {
        constant.name = name.substr(0, open);
        const std::size_t close = name.find(')', open + 1);
        constant.arguments = name.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    }
    if (isReserved(constant.name)) TextConvert::toFloat(value);
    myConstants[constant.name] = std::move(constant);
}

bool LSystemDefinition::removeConstant(const std::string& name) { return myConstants.erase(name) != 0; }

bool LSystemDefinition::isReserved(const std::string& name) const {
    return std::find(myReservedNames.begin(), myReservedNames.end(), name) != myReservedNames.end();
}
