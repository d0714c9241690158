#pragma once

#include "property_visit_archive.h"
#include "serializable.h"
#include "xml_iarchive.h"
#include "xml_output_archive.h"

namespace QV {

// A minimum and a maximum between which the user picks a random value.
template <class T>
class ValueRange : public Serializable {
public:
    void visit(PropertyVisitArchive& archive) override {
        archive.visit(makeNvp("mMinVal", mMinVal));
        archive.visit(makeNvp("mMaxVal", mMaxVal));
    }
    void load(XmlIArchive& archive) override {
        archive.load(makeNvp("mMinVal", mMinVal));
        archive.load(makeNvp("mMaxVal", mMaxVal));
    }
    void save(XmlOutputArchive& archive) override {
        archive.save(makeNvp("mMinVal", mMinVal));
        archive.save(makeNvp("mMaxVal", mMaxVal));
    }

    T mMinVal{};
    T mMaxVal{};
};

}  // namespace QV
