#pragma once

#include <map>
#include <string>

// The style values of an installation (vendor, product, whether an update service exists, ...),
// read from an XML file whose root element holds one child element per value:
//
//   <style><vendor>Veltrane</vendor><product>Tintora</product><updater>false</updater></style>
class StyleFile {
public:
    // Parses the file at path (UTF-8). On failure returns false, keeps no values and leaves the
    // parser's description of the problem in error().
    bool load(const std::string& path);

    // The text of the named value, or nullptr when the file has no such element (or it is empty).
    // The pointer stays valid until the next load().
    const char* find(const std::string& name) const;

    bool isLoaded() const { return loaded_; }
    const std::string& error() const { return error_; }

private:
    std::map<std::string, std::string> values_;
    std::string error_;
    bool loaded_ = false;
};
