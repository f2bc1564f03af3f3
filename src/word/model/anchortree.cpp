#include "word/model/anchortree.h"

#include <climits>

namespace word::model::detail {

bool AnchorTree::less(const AnchorNode* n, const Key& k)
{
    if (n->position != k.position)
        return n->position < k.position;
    if (n->rank != k.rank)
        return n->rank < k.rank;
    return n->seq < k.seq;
}

void AnchorTree::push(AnchorNode* n)
{
    if (n->pending == 0)
        return;
    for (AnchorNode* c : { n->left, n->right }) {
        if (!c)
            continue;
        c->position += n->pending;
        c->pending += n->pending;
    }
    n->pending = 0;
}

// l receives the keys below k, r the rest. The roots' parent links are left
// for the caller to set.
void AnchorTree::split(AnchorNode* t, const Key& k, AnchorNode*& l, AnchorNode*& r)
{
    if (!t) {
        l = r = nullptr;
        return;
    }
    push(t);
    if (less(t, k)) {
        split(t->right, k, t->right, r);
        if (t->right)
            t->right->parent = t;
        l = t;
        return;
    }
    split(t->left, k, l, t->left);
    if (t->left)
        t->left->parent = t;
    r = t;
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

AnchorNode* AnchorTree::insert(int position, quint8 rank, quint64 seq, quint8 kind, int ref)
{
    auto* n = new AnchorNode;
    n->priority = nextPriority();
    n->position = position;
    n->rank = rank;
    n->kind = kind;
    n->ref = ref;
    n->seq = seq;
    AnchorNode* l = nullptr;
    AnchorNode* r = nullptr;
    split(m_root, Key{ position, rank, seq }, l, r);
    m_root = merge(merge(l, n), r);
    m_root->parent = nullptr;
    ++m_size;
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
    delete node;
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
    AnchorNode* l = nullptr;
    AnchorNode* r = nullptr;
    split(m_root, Key{ position + 1, 0, 0 }, l, r);
    if (r) {
        r->position += delta;
        r->pending += delta;
    }
    m_root = merge(l, r);
    if (m_root)
        m_root->parent = nullptr;
}

void AnchorTree::destroy(AnchorNode* n)
{
    while (n) {
        destroy(n->left);
        AnchorNode* next = n->right;
        delete n;
        n = next;
    }
}

void AnchorTree::clear()
{
    destroy(m_root);
    m_root = nullptr;
    m_size = 0;
}

} // namespace word::model::detail
