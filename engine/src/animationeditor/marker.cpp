#include "animationeditor/marker.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"

namespace AE {

namespace {

float frameDuration(const ISceneNode* node) { return node->mTimeline->mFrameDuration; }

// The queue of the scene update running on this thread, if any.
thread_local std::vector<Marker*>* tDeferredQueue = nullptr;

}  // namespace

DeferredMarkerNotifications::DeferredMarkerNotifications() {
    if (tDeferredQueue) return;
    mOutermost = true;
    tDeferredQueue = &mQueue;
}

DeferredMarkerNotifications::~DeferredMarkerNotifications() {
    if (!mOutermost) return;
    for (Marker* marker : mQueue)
        if (marker) marker->mQueued = false;
    if (tDeferredQueue == &mQueue) tDeferredQueue = nullptr;
}

void DeferredMarkerNotifications::deliver() {
    if (!mOutermost) return;
    // A listener may delete any scene, queued markers included (their
    // destructors clear their slots), or finish more markers (appended).
    for (size_t i = 0; i < mQueue.size(); ++i) {
        Marker* marker = mQueue[i];
        if (!marker) continue;
        mQueue[i] = nullptr;
        marker->mQueued = false;
        marker->notifyListeners();
    }
    mQueue.clear();
    tDeferredQueue = nullptr;
}

Marker::Marker(const Marker& source, ISceneNode* newOwner, const ISceneNode* sourceOwner) : mName(source.mName) {
    for (const Entry* e : source.mEntries) {
        if (!e->node || (e->fromFrame == -1 && e->toFrame == -1)) continue;
        ISceneNode* found = newOwner->findNodeByPath(e->node->getPath(sourceOwner));
        if (found) addEntry(found, e->fromFrame, e->toFrame, e->recursive, e->looped);
    }
}

Marker::~Marker() {
    if (mDestroyed) *mDestroyed = true;
    if (mQueued && tDeferredQueue) std::replace(tDeferredQueue->begin(), tDeferredQueue->end(), this, static_cast<Marker*>(nullptr));
    for (Entry* e : mEntries) {
        e->node->setPlaying(false, e->recursive);
        delete e;
    }
}

void Marker::addEntry(ISceneNode* node, int fromFrame, int toFrame, bool recursive, bool looped) {
    if (!node) return;
    for (const Entry* e : mEntries)
        if (e->node == node) return;
    Entry* entry = new Entry;
    entry->node = node;
    entry->fromFrame = fromFrame;
    entry->toFrame = toFrame;
    entry->recursive = recursive;
    entry->looped = looped;
    mEntries.push_back(entry);
}

void Marker::restartEntry(Entry& e) {
    ISceneNode* node = e.node;
    const bool r = e.recursive;
    const float fd = frameDuration(node);
    e.remaining = 0.0f;
    if (e.toFrame != -1) {
        const float t0 = node->mTimeline->mTime;
        node->stop(r);
        if (e.fromFrame == -1) {
            // Continue from where the node was.
            node->setTime(t0, r);
            const float target = static_cast<float>(e.toFrame) * fd;
            node->playDirected(target < t0, r);
            e.remaining = std::fabs(target - t0);
        } else {
            node->setTime(static_cast<float>(e.fromFrame) * fd, r);
            if (e.toFrame != e.fromFrame) {
                node->playDirected(e.toFrame < e.fromFrame, r);
                e.remaining = static_cast<float>(std::abs(e.toFrame - e.fromFrame)) * fd;
            }
        }
    } else if (e.fromFrame != -1) {
        node->setTime(static_cast<float>(e.fromFrame) * fd, r);
        node->play(r);
    }
}

void Marker::resumeEntry(Entry& e) {
    ISceneNode* node = e.node;
    const bool r = e.recursive;
    const float fd = frameDuration(node);
    if (e.toFrame != -1 && e.remaining == -1.0f) return;
    if (e.fromFrame == e.toFrame) {
        node->setTime(static_cast<float>(e.fromFrame) * fd, r);
        return;
    }
    const bool backwards = e.fromFrame == -1 ? static_cast<float>(e.toFrame) * fd < node->mTimeline->mTime
                                             : (e.toFrame != -1 && e.toFrame < e.fromFrame);
    node->playDirected(backwards, r);
}

void Marker::play(bool restart) {
    if (restart || mState == kStopped) {
        mElapsed = 0.0f;
        for (size_t i = 0; i < mEntries.size(); ++i) restartEntry(*mEntries[i]);
    } else {
        for (size_t i = 0; i < mEntries.size(); ++i) resumeEntry(*mEntries[i]);
    }
    mState = kPlaying;
}

void Marker::stop(bool all) {
    for (Entry* e : mEntries)
        if (all || (e->toFrame != -1 && !e->looped)) e->node->setPlaying(false, e->recursive);
    mState = mElapsed != 0.0f ? kPaused : kStopped;
}

void Marker::haltEntries() {
    for (Entry* e : mEntries) e->node->setPlaying(false, e->recursive);
    mState = mElapsed == 0.0f ? kStopped : kPaused;
}

void Marker::skipToEnd() {
    if (mElapsed == 0.0f) play(true);
    jumpToEnd();
    mState = kFinished;
}

void Marker::jumpToEnd() {
    for (size_t i = 0; i < mEntries.size(); ++i) {
        Entry& e = *mEntries[i];
        if (e.looped || e.toFrame == -1) continue;
        e.node->setTime(static_cast<float>(e.toFrame) * frameDuration(e.node), e.recursive);
        e.node->halt(e.recursive);
        e.remaining = -1.0f;
    }
}

void Marker::setReversed(bool reversed) {
    if (mReversed == reversed) return;
    for (Entry* e : mEntries)
        if (e->fromFrame != -1 && e->toFrame != -1) std::swap(e->fromFrame, e->toFrame);
    mReversed = reversed;
    if (mState != kPlaying) {
        mState = kStopped;
    } else {
        // The way back takes as long as the time already played.
        for (Entry* e : mEntries) {
            if (e->fromFrame == -1 || e->toFrame == -1) continue;
            e->remaining = mElapsed;
            e->node->playDirected(e->toFrame < e->fromFrame, e->recursive);
        }
    }
    mElapsed = 0.0f;
}

void Marker::update(float dt) {
    if (mBusy || mState == kStopped) return;
    mBusy = true;
    mElapsed += dt;
    bool pending = false;
    for (size_t i = 0; i < mEntries.size(); ++i) {
        Entry& e = *mEntries[i];
        if (e.toFrame == -1 || e.remaining < 0.0f) continue;
        if (e.remaining > mElapsed && !e.looped) pending = true;
        ISceneNode* node = e.node;
        const bool r = e.recursive;
        if (node->mPlaying || mState != kPaused) {
            if (e.toFrame == e.fromFrame || mElapsed < e.remaining) continue;
            const float fd = frameDuration(node);
            if (e.looped) {
                float over = mElapsed - e.remaining;
                if (e.toFrame < e.fromFrame) over = -over;
                e.remaining = static_cast<float>(std::abs(e.toFrame - e.fromFrame)) * fd + mElapsed;
                node->setTime(static_cast<float>(e.fromFrame) * fd + over, r);
                node->update(0.0f);
            } else if (mState == kPlaying) {
                e.remaining = -1.0f;
                node->setPlaying(false, r);
                // The end frame's time as key frames place it, so a key on it shows its value.
                node->setTime(static_cast<float>(e.toFrame) * fd, r);
            }
        } else {
            // Paused: the pause does not use up the entry's time.
            e.remaining += dt;
        }
    }
    if (mState == kPlaying && !pending) {
        mState = kFinished;
        if (tDeferredQueue) {
            if (!mQueued) {
                mQueued = true;
                tDeferredQueue->push_back(this);
            }
        } else {
            notifyListeners();
            return;
        }
    }
    mBusy = false;
}

void Marker::notifyListeners() {
    mBusy = true;
    bool destroyed = false;
    mDestroyed = &destroyed;
    const std::vector<MarkerListener*> listeners = mListeners;
    for (MarkerListener* listener : listeners) {
        listener->onMarkerFinished(this);
        if (destroyed) return;
    }
    mDestroyed = nullptr;
    mBusy = false;
}

void Marker::addListener(MarkerListener* listener) {
    if (std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end()) mListeners.push_back(listener);
}

void Marker::removeListener(MarkerListener* listener) {
    auto it = std::find(mListeners.begin(), mListeners.end(), listener);
    if (it != mListeners.end()) mListeners.erase(it);
}

void Marker::removeFirstEntryOf(const ISceneNode* node) {
    for (size_t i = 0; i < mEntries.size(); ++i) {
        if (mEntries[i]->node == node) {
            delete mEntries[i];
            mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

void Marker::removeNode(ISceneNode* node) {
    std::vector<ISceneNode*> nodes = node->collectDescendants();
    nodes.push_back(node);
    for (ISceneNode* n : nodes) removeFirstEntryOf(n);
    removeFirstEntryOf(node);
}

}  // namespace AE
