#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

class XmlDataReader;

// Parsed XML documents kept per (package, resource name). A document handed
// out by getDocument is in use until releaseDocument; a second request for the
// same pair meanwhile gets an entry (and a parse) of its own.
class XmlCachedFilesManager : public Singleton<XmlCachedFilesManager> {
public:
    // Longest package or resource name an entry can hold.
    static constexpr std::size_t kMaxNameLength = 127;

    XmlCachedFilesManager() = default;
    // Drops the cached documents not in use, before the buddy arena goes away.
    ~XmlCachedFilesManager() override;

    // The reader of an entry, positioned at the document's "root". A request
    // for "x_sprites" loads the resource "x_sxml"; any other name gets "_sxml"
    // appended. A missing resource still gives a reader, whose reads all
    // fail. Null only for a package or name longer than kMaxNameLength.
    static XmlDataReader* getDocument(const std::string& package, const std::string& name);
    // Ends the caller's use of a reader it got from getDocument.
    static void releaseDocument(XmlDataReader* reader);
    // Deletes every entry that is not in use.
    static void purge();

    // The resource an entry for the name loads.
    static std::string mappedFileName(const std::string& name);
    static std::size_t entryCount();
};

}  // namespace QV
