#pragma once
// A small tree of text items, filled by the interpreter with its statistics
// and shown later by the statistics tab. Keeping it free of widgets lets the
// computation thread fill it while the main thread owns the window.

#include <string>
#include <vector>

struct TextTreeItem {
    std::string text;
    std::vector<TextTreeItem> children;

    // Appends a child and returns it; the reference stays valid until the
    // next child is appended to this item.
    TextTreeItem& append(std::string childText) {
        children.push_back(TextTreeItem{std::move(childText), {}});
        return children.back();
    }
};

// The tree itself is an item without text whose children are the top-level
// items.
class TextTree {
public:
    TextTreeItem& append(std::string text) { return myRoot.append(std::move(text)); }
    void clear() { myRoot.children.clear(); }
    const std::vector<TextTreeItem>& items() const { return myRoot.children; }

private:
    TextTreeItem myRoot;
};
