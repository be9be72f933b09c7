#include "support/reference_octree.h"

#include <algorithm>
#include <memory>

namespace tavrel::test {
namespace {

struct Node {
    bool leaf = false;
    int64_t count = 0;
    int64_t red = 0;
    int64_t green = 0;
    int64_t blue = 0;
    int index = 0;
    std::unique_ptr<Node> child[8];
};

int Slot(Rgb c, int level) {
    const int shift = 7 - level;
    return ((c.red >> shift) & 1) * 4 + ((c.green >> shift) & 1) * 2 + ((c.blue >> shift) & 1);
}

class Tree {
public:
    explicit Tree(uint32_t maxColours) : maxColours_(maxColours) {}

    void Add(Rgb c) {
        std::unique_ptr<Node>* slot = &root_;
        for (int level = 0;; ++level) {
            if (!*slot) {
                *slot = std::make_unique<Node>();
                (*slot)->leaf = level == 8;
                if ((*slot)->leaf) {
                    ++leaves_;
                } else {
                    reducible_[level].push_back(slot->get());  // newest at the back
                }
            }
            Node& node = **slot;
            if (node.leaf) {
                ++node.count;
                node.red += c.red;
                node.green += c.green;
                node.blue += c.blue;
                break;
            }
            slot = &node.child[Slot(c, level)];
        }
        while (leaves_ > maxColours_) {
            Reduce();
        }
    }

    std::vector<Rgb> Palette() {
        std::vector<Rgb> palette;
        Number(root_.get(), palette);
        return palette;
    }

    int Map(Rgb c) const {
        const Node* node = root_.get();
        for (int level = 0; !node->leaf; ++level) {
            node = node->child[Slot(c, level)].get();
        }
        return node->index;
    }

private:
    void Reduce() {
        int level = 7;
        while (level > 0 && reducible_[level].empty()) {
            --level;
        }
        auto& list = reducible_[level];
        auto chosen = list.end();
        int64_t fewest = 0;
        for (auto it = list.end(); it != list.begin();) {
            --it;
            int64_t total = 0;
            for (const auto& child : (*it)->child) {
                total += child ? child->count : 0;
            }
            if (chosen == list.end() || total < fewest) {
                chosen = it;
                fewest = total;
            }
        }
        Node& node = **chosen;
        list.erase(chosen);
        int merged = 0;
        for (auto& child : node.child) {
            if (child) {
                node.count += child->count;
                node.red += child->red;
                node.green += child->green;
                node.blue += child->blue;
                child.reset();
                ++merged;
            }
        }
        node.leaf = true;
        leaves_ = leaves_ + 1 - merged;
    }

    static void Number(Node* node, std::vector<Rgb>& palette) {
        if (node == nullptr) {
            return;
        }
        if (node->leaf) {
            node->index = static_cast<int>(palette.size());
            palette.push_back({static_cast<uint8_t>(node->red / node->count),
                               static_cast<uint8_t>(node->green / node->count),
                               static_cast<uint8_t>(node->blue / node->count)});
            return;
        }
        for (auto& child : node->child) {
            Number(child.get(), palette);
        }
    }

    uint32_t maxColours_;
    uint32_t leaves_ = 0;
    std::unique_ptr<Node> root_;
    std::vector<Node*> reducible_[8];
};

}  // namespace

ReferenceResult ReferenceQuantise(const std::vector<Rgb>& colours, int32_t width, int32_t height,
                                  uint32_t maxColours) {
    Tree tree(maxColours);
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x) {
            tree.Add(colours[static_cast<std::size_t>(y) * width + x]);
        }
    }
    ReferenceResult result;
    result.palette = tree.Palette();
    for (const Rgb& c : colours) {
        result.indices.push_back(static_cast<uint8_t>(tree.Map(c)));
    }
    return result;
}

}  // namespace tavrel::test
