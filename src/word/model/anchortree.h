#pragma once
// The ordered point store behind AnchorTable: a treap keyed by
// (position, rank, sequence) whose positions carry lazy shifts, so that moving
// every point after a position costs one walk from the root, and a point's
// current position is found from its node by walking up to the root.
//
// A node's `position` is exact once the pending shifts of all its ancestors
// are added; `pending` is a shift owed to the node's descendants only.

#include <QtGlobal>
#include <memory>
#include <utility>
#include <vector>

namespace word::model::detail {

struct AnchorNode {
    AnchorNode* left = nullptr;
    AnchorNode* right = nullptr;
    AnchorNode* parent = nullptr;
    quint32 priority = 0;
    int position = 0;
    int pending = 0;
    quint8 rank = 0;     // order among points at one position
    quint8 kind = 0;     // AnchorPoint::Kind
    int ref = 0;         // bookmark serial or markup handle
    quint64 seq = 0;     // insertion order, unique
};

class AnchorTree {
public:
    AnchorTree() = default;
    ~AnchorTree();
    AnchorTree(const AnchorTree&) = delete;
    AnchorTree& operator=(const AnchorTree&) = delete;

    AnchorNode* insert(int position, quint8 rank, quint64 seq, quint8 kind, int ref);
    void erase(AnchorNode* node);                 // deletes the node
    int positionOf(const AnchorNode* node) const;
    void shiftAfter(int position, int delta);     // every point with a greater position
    void clear();
    int size() const { return m_size; }

    // Calls fn(node, position) for every point with from <= position <= to, in
    // order. fn must not change the tree.
    template <class Fn>
    void forEach(int from, int to, Fn&& fn) const { visit(m_root, 0, from, to, fn); }

private:
    struct Key {
        int position;
        quint8 rank;
        quint64 seq;
    };
    static bool less(const AnchorNode* n, const Key& k);
    static void push(AnchorNode* n);
    static AnchorNode* merge(AnchorNode* a, AnchorNode* b);
    void rotateUp(AnchorNode* n);
    AnchorNode* allocate();
    quint32 nextPriority();

    template <class Fn>
    static void visit(const AnchorNode* t, int owed, int from, int to, Fn& fn)
    {
        // Iterates down the right spine to keep the recursion to the left side.
        while (t) {
            const int p = t->position + owed;
            const int childOwed = owed + t->pending;
            if (p >= from)
                visit(t->left, childOwed, from, to, fn);
            if (p > to)
                return;
            if (p >= from)
                fn(t, p);
            t = t->right;
            owed = childOwed;
        }
    }

    AnchorNode* m_root = nullptr;
    int m_size = 0;
    // Nodes live in chunks of the tree's own; erased ones are reused, since
    // an edit takes points out and puts them back and the allocator would
    // otherwise dominate its cost.
    std::vector<std::unique_ptr<AnchorNode[]>> m_chunks;
    size_t m_chunkSize = 0;
    size_t m_chunkUsed = 0;
    std::vector<AnchorNode*> m_free;
    quint32 m_random = 0x9e3779b9u;
};

} // namespace word::model::detail
