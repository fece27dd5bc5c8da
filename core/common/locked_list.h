#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace sorvanto {

template <class T>
struct LockedListNode {
    int key = 0;
    int size = 0;
    std::unique_ptr<T> data;
    LockedListNode* next = nullptr;
    LockedListNode* prev = nullptr;
};

// A doubly linked list of owned nodes guarded by a mutex; every operation takes the lock. It
// carries the receive queue between the server's worker and the user-interface thread, and
// every category's item records.
template <class T>
class LockedList {
public:
    using Node = LockedListNode<T>;

    LockedList() = default;
    ~LockedList() { Clear(); }
    LockedList(const LockedList&) = delete;
    LockedList& operator=(const LockedList&) = delete;

    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

    void Append(std::unique_ptr<Node> node) {
        std::lock_guard lock(mutex_);
        Node* n = node.release();
        n->next = nullptr;
        n->prev = tail_;
        if (tail_) tail_->next = n;
        else head_ = n;
        tail_ = n;
        ++count_;
    }

    // Takes over the given data block.
    Node* AddOwned(int key, int size, std::unique_ptr<T> data) {
        auto node = std::make_unique<Node>();
        node->key = key;
        node->size = size;
        node->data = std::move(data);
        Node* raw = node.get();
        Append(std::move(node));
        return raw;
    }

    // Read under the lock: the consumer reads the head while the worker may append.
    Node* Head() const {
        std::lock_guard lock(mutex_);
        return head_;
    }

    Node* At(int index) const {
        std::lock_guard lock(mutex_);
        if (index < 0) return nullptr;
        Node* n = head_;
        for (int i = 0; n && i < index; ++i) n = n->next;
        return n;
    }

    Node* Find(int key) const {
        std::lock_guard lock(mutex_);
        for (Node* n = head_; n; n = n->next)
            if (n->key == key) return n;
        return nullptr;
    }

    // Unlinks and frees the node with its data block.
    void Remove(Node* node) {
        if (!node) return;
        std::lock_guard lock(mutex_);
        if (node->prev) node->prev->next = node->next;
        else head_ = node->next;
        if (node->next) node->next->prev = node->prev;
        else tail_ = node->prev;
        --count_;
        delete node;
    }

    void Clear() {
        std::lock_guard lock(mutex_);
        Node* n = head_;
        while (n) {
            Node* next = n->next;
            delete n;
            n = next;
        }
        head_ = tail_ = nullptr;
        count_ = 0;
    }

    int Count() const {
        std::lock_guard lock(mutex_);
        return count_;
    }

    // Visits every node in list order under the lock; the visitor must not touch the list.
    template <class F>
    void ForEach(F&& f) const {
        std::lock_guard lock(mutex_);
        for (Node* n = head_; n; n = n->next) f(*n);
    }

private:
    mutable std::mutex mutex_;
    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    int count_ = 0;
};

using ByteBlock = std::vector<std::uint8_t>;

// The receive queue and other lists of plain byte blocks.
class ByteList : public LockedList<ByteBlock> {
public:
    // Copies size bytes from source into a new block (no block when size is 0).
    Node* AddCopy(int key, int size, const void* source) {
        std::unique_ptr<ByteBlock> block;
        if (size > 0) {
            block = std::make_unique<ByteBlock>(static_cast<std::size_t>(size));
            if (source) std::memcpy(block->data(), source, static_cast<std::size_t>(size));
        }
        return AddOwned(key, size, std::move(block));
    }
};

}  // namespace sorvanto
