#include "interpretation/Statistics.h"

#include "interpretation/TextTree.h"
#include "lsys/String2IDManager.h"

#include <string>

void Statistics::clear() {
    myOverallSize = 0;
    myVisibleItems = 0;
    myPolygons = 0;
    myOccurrences.clear();
}

void Statistics::fillTree(TextTree& tree, bool resultIsEmpty) const {
    TextTreeItem& occurrences = tree.append("Occurence Statistics");
    occurrences.append("overall size: " + std::to_string(myOverallSize));
    occurrences.append("visible items: " + std::to_string(myVisibleItems));
    occurrences.append("polygon number: " + std::to_string(myPolygons));
    TextTreeItem& bySymbol = occurrences.append("by symbol");
    const String2IDManager& registry = String2IDManager::instance();
    for (auto it = myOccurrences.lower_bound(firstUserSymbolID); it != myOccurrences.end(); ++it)
        bySymbol.append(registry.getName(it->first)).append("occurences: " + std::to_string(it->second));

    TextTreeItem& geometry = tree.append("Geometrical Statistics");
    if (resultIsEmpty) geometry.append("<no visible item exists>");
}
