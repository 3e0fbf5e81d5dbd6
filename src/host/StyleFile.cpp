#include "StyleFile.h"

#include <tinyxml2.h>

bool StyleFile::load(const std::string& path) {
    values_.clear();
    error_.clear();
    loaded_ = false;

    tinyxml2::XMLDocument document;
    if (document.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) {
        error_ = document.ErrorStr() ? document.ErrorStr() : "unknown error";
        return false;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    if (root == nullptr) {
        error_ = "no root element in " + path;
        return false;
    }
    for (const tinyxml2::XMLElement* element = root->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const char* text = element->GetText();
        // The first occurrence of a name wins, as a reader scanning the file would find it.
        if (text != nullptr)
            values_.emplace(element->Name(), text);
    }
    loaded_ = true;
    return true;
}

const char* StyleFile::find(const std::string& name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? nullptr : it->second.c_str();
}
