#include "player/remote_storage.h"

#include <algorithm>

void RemoteStorage::addListener(RemoteStorageListener* listener) {
    if (listener && std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end()) {
        mListeners.push_back(listener);
    }
}
