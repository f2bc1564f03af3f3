#include "word/model/anchortree.h"

#include <algorithm>
#include <climits>

namespace word::model::detail {

inline bool AnchorTree::less(const AnchorNode* n, const Key& k)
{
    if (n->position != k.position)
        return n->position < k.position;
    if (n->rank != k.rank)
        return n->rank < k.rank;
    return n->seq < k.seq;
}

inline void AnchorTree::push(AnchorNode* n)
{
    if (n->pending == 0)
        return;
    if (AnchorNode* c = n->left) {
        c->position += n->pending;
        c->pending += n->pending;
    }
    if (AnchorNode* c = n->right) {
        c->position += n->pending;
        c->pending += n->pending;
    }
    n->pending = 0;
}

// Every key of a is below every key of b.
AnchorNode* AnchorTree::merge(AnchorNode* a, AnchorNode* b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    if (a->priority > b->priority) {
        push(a);
        a->right = merge(a->right, b);
        a->right->parent = a;
        return a;
    }
    push(b);
    b->left = merge(a, b->left);
    b->left->parent = b;
    return b;
}

quint32 AnchorTree::nextPriority()
{
    // xorshift32: deterministic, so a run can be reproduced exactly.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    return m_random;
}

AnchorNode* AnchorTree::allocate()
{
    if (!m_free.empty()) {
        AnchorNode* n = m_free.back();
        m_free.pop_back();
        *n = AnchorNode();
        return n;
    }
    if (m_chunkUsed == m_chunkSize) {
        // Chunks double from a small start: a header's few points take
        // little, and a long contract's many lie close together.
        m_chunkSize = m_chunks.empty() ? 16 : std::min<size_t>(m_chunkSize * 2, 4096);
        m_chunks.push_back(std::make_unique<AnchorNode[]>(m_chunkSize));
        m_chunkUsed = 0;
    }
    return &m_chunks.back()[m_chunkUsed++];
}

// n and its parent have no pending shift (the descent pushed them), so the
// subtree that changes parent keeps its positions.
void AnchorTree::rotateUp(AnchorNode* n)
{
    AnchorNode* p = n->parent;
    AnchorNode* g = p->parent;
    if (p->left == n) {
        p->left = n->right;
        if (p->left)
            p->left->parent = p;
        n->right = p;
    } else {
        p->right = n->left;
        if (p->right)
            p->right->parent = p;
        n->left = p;
    }
    p->parent = n;
    n->parent = g;
    if (!g)
        m_root = n;
    else if (g->left == p)
        g->left = n;
    else
        g->right = n;
}

AnchorNode* AnchorTree::insert(int position, quint8 rank, quint64 seq, quint8 kind, int ref)
{
    AnchorNode* n = allocate();
    n->priority = nextPriority();
    n->position = position;
    n->rank = rank;
    n->kind = kind;
    n->ref = ref;
    n->seq = seq;
    ++m_size;
    if (!m_root) {
        m_root = n;
        return n;
    }
    const Key k{ position, rank, seq };
    for (AnchorNode* t = m_root;;) {
        push(t);
        AnchorNode*& child = less(t, k) ? t->right : t->left;
        if (!child) {
            child = n;
            n->parent = t;
            break;
        }
        t = child;
    }
    while (n->parent && n->parent->priority < n->priority)
        rotateUp(n);
    return n;
}

void AnchorTree::erase(AnchorNode* node)
{
    // The ancestors' pending shifts keep applying to whatever takes the
    // node's place, so only the node's own shift has to reach its children.
    push(node);
    AnchorNode* joined = merge(node->left, node->right);
    AnchorNode* up = node->parent;
    if (joined)
        joined->parent = up;
    if (!up)
        m_root = joined;
    else if (up->left == node)
        up->left = joined;
    else
        up->right = joined;
    m_free.push_back(node);
    --m_size;
}

int AnchorTree::positionOf(const AnchorNode* node) const
{
    int p = node->position;
    for (const AnchorNode* a = node->parent; a; a = a->parent)
        p += a->pending;
    return p;
}

void AnchorTree::shiftAfter(int position, int delta)
{
    if (delta == 0 || position == INT_MAX)
        return;
    // One walk down, as a search for position would go, without changing
    // the tree's shape: a node after position moves, and so does its whole
    // right subtree (through its pending shift); the walk goes on to its
    // left. A node at or before position stays, and the walk goes right.
    int owed = 0;
    for (AnchorNode* t = m_root; t;) {
        const int p = t->position + owed;
        owed += t->pending;
        if (p > position) {
            t->position += delta;
            if (AnchorNode* r = t->right) {
                r->position += delta;
                r->pending += delta;
            }
            t = t->left;
        } else {
            t = t->right;
        }
    }
}

AnchorTree::~AnchorTree() = default;

void AnchorTree::clear()
{
    m_root = nullptr;
    m_size = 0;
    m_free.clear();
    m_chunks.clear();
    m_chunkSize = 0;
    m_chunkUsed = 0;
}

} // namespace word::model::detail
