#pragma once

#include <string>
#include <string_view>

#include "platform/installation_record.h"

namespace vk3::test {

// Keeps the record in memory and counts the writes.
struct FakeRecord : InstallationRecord {
    explicit FakeRecord(std::string recorded = {}, std::string recordedDocuments = {})
        : value(std::move(recorded)), documents(std::move(recordedDocuments)) {}
    std::string Read() override { return value; }
    std::string ReadDocumentsFolder() override { return documents; }
    bool Write(std::string_view folder, std::string_view documentsFolder) override {
        value = folder, documents = documentsFolder, ++writes;
        return true;
    }
    std::string value, documents;
    int writes = 0;
};

}  // namespace vk3::test
