#include "CxfColours.h"

#include "csCIEConstants.h"
#include "csChromaticAdaptation.h"
#include "csContext.h"
#include "csLog.h"

#include <tinyxml2.h>

#include <cmath>
#include <cstring>
#include <map>
#include <optional>

namespace {

using tinyxml2::XMLElement;

// The element's name without a namespace prefix.
const char* localName(const XMLElement* element) {
    const char* name = element->Name();
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

const XMLElement* child(const XMLElement* parent, const char* name) {
    if (parent == nullptr)
        return nullptr;
    for (const XMLElement* e = parent->FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement())
        if (std::strcmp(localName(e), name) == 0)
            return e;
    return nullptr;
}

std::string childText(const XMLElement* parent, const char* name) {
    const XMLElement* e = child(parent, name);
    return e != nullptr && e->GetText() != nullptr ? std::string(trimmed(e->GetText())) : "";
}

// Every element of that local name below parent, in document order.
void collect(const XMLElement* parent, const char* name, std::vector<const XMLElement*>& found) {
    for (const XMLElement* e = parent->FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement()) {
        if (std::strcmp(localName(e), name) == 0)
            found.push_back(e);
        else
            collect(e, name, found);
    }
}

// What a CxF3 ColorSpecification states: illuminant and observer.
struct Conditions {
    std::string illuminant, observer; // as CxF names them
    bool d50TwoDegree = true;
    std::optional<std::string> problem; // why its colours cannot be used
    double white[3] = {0, 0, 0};
    std::size_t adapted = 0;
};

std::string observerName(const std::string& cxf) {
    if (cxf == "2_Degree" || cxf == "2")
        return "2";
    if (cxf == "10_Degree" || cxf == "10")
        return "10";
    return "";
}

Conditions conditionsOf(const XMLElement* element) {
    Conditions conditions;
    const XMLElement* tristimulus = child(element, "TristimulusSpec");
    conditions.illuminant = childText(tristimulus, "Illuminant");
    conditions.observer = childText(tristimulus, "Observer");
    if (conditions.illuminant.empty())
        conditions.illuminant = "D50";
    if (conditions.observer.empty())
        conditions.observer = "2_Degree";
    const std::string observer = observerName(conditions.observer);
    if (observer.empty()) {
        conditions.problem = "unknown observer '" + conditions.observer + "'";
        return conditions;
    }
    conditions.d50TwoDegree = conditions.illuminant == "D50" && observer == "2";
    if (conditions.d50TwoDegree)
        return conditions;
    csContext context;
    if (context.setObserverByName(observer.c_str()) != 0 ||
        context.setIlluminantByName(conditions.illuminant.c_str()) != 0) {
        clearLog();
        conditions.problem = "unknown illuminant '" + conditions.illuminant + "'";
        return conditions;
    }
    conditions.white[0] = context.whiteX();
    conditions.white[1] = context.whiteY();
    conditions.white[2] = context.whiteZ();
    return conditions;
}

std::string degrees(const std::string& observer) { return observerName(observer) + "\u00B0"; }

} // namespace

void adaptLabToD50(const double white[3], const double lab[3], double result[3]) {
    const double fy = (lab[0] + 16) / 116;
    const double f[3] = {fy + lab[1] / 500, fy, fy - lab[2] / 200};
    double xyz[3];
    for (int k = 0; k < 3; ++k)
        xyz[k] = white[k] * csCIE::labFInverse(f[k]);
    csChromaticAdaptation(white, pcsWhite).apply(xyz, xyz);
    xyzToLab(xyz, pcsWhite, result);
}

ColourList readCxfColours(const std::string& content, const std::string& source) {
    ColourList list;
    tinyxml2::XMLDocument document;
    if (document.Parse(content.data(), content.size()) != tinyxml2::XML_SUCCESS) {
        list.failure = source + ":" + std::to_string(document.ErrorLineNum()) +
                       ": not well-formed XML (" + document.ErrorName() + ")";
        return list;
    }
    const XMLElement* root = document.RootElement();
    if (root == nullptr || std::strcmp(localName(root), "CxF") != 0) {
        list.failure = source + ": not a CxF3 document (the root element is not CxF)";
        return list;
    }

    std::map<std::string, Conditions> known;
    std::vector<const XMLElement*> found;
    collect(root, "ColorSpecification", found);
    for (const XMLElement* element : found)
        if (const char* id = element->Attribute("Id"))
            known.emplace(id, conditionsOf(element));

    std::vector<const XMLElement*> objects;
    collect(root, "Object", objects);
    std::size_t withoutConditions = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const XMLElement* object = objects[i];
        const char* nameAttribute = object->Attribute("Name");
        if (nameAttribute == nullptr || *nameAttribute == '\0')
            nameAttribute = object->Attribute("Id");
        const std::string name = nameAttribute != nullptr ? nameAttribute : "";
        const std::string origin = source + ":" + std::to_string(object->GetLineNum()) +
                                   ": Object[" + std::to_string(i + 1) + "]" +
                                   (name.empty() ? "" : " \"" + name + "\"");
        if (name.empty()) {
            list.skip(origin, "no Name or Id");
            continue;
        }
        const XMLElement* values = child(object, "ColorValues");
        const XMLElement* colour = child(values, "ColorCIELab");
        const bool lch = colour == nullptr;
        if (lch)
            colour = child(values, "ColorCIELCh");
        if (colour == nullptr) {
            list.skip(origin, "no ColorCIELab or ColorCIELCh under ColorValues");
            continue;
        }
        const char* names[3] = {"L", lch ? "C" : "A", lch ? "H" : "B"};
        double numbers[3];
        bool good = true;
        for (int k = 0; k < 3 && good; ++k) {
            const std::string text = childText(colour, names[k]);
            if (!parseNumber(text, numbers[k])) {
                list.skip(origin,
                          std::string(names[k]) +
                              (text.empty() ? " is missing" : " '" + text + "' is not a number"));
                good = false;
            }
        }
        if (!good)
            continue;

        Conditions* conditions = nullptr;
        if (const char* id = colour->Attribute("ColorSpecification")) {
            const auto found = known.find(id);
            if (found == known.end()) {
                list.skip(origin, std::string("ColorSpecification '") + id + "' is not defined");
                continue;
            }
            conditions = &found->second;
            if (conditions->problem) {
                list.skip(origin, *conditions->problem);
                continue;
            }
        } else {
            ++withoutConditions;
        }

        if (!(numbers[0] >= 0 && numbers[0] <= 100)) {
            list.add(name, numbers, origin); // skipped, with the reason
            continue;
        }
        if (lch && !(numbers[1] >= 0 && numbers[1] <= 184)) {
            list.addLCh(name, numbers, origin); // skipped, with the reason
            continue;
        }
        double lab[3] = {numbers[0], numbers[1], numbers[2]};
        if (lch)
            lchToLab(numbers, lab);
        if (conditions != nullptr && !conditions->d50TwoDegree) {
            adaptLabToD50(conditions->white, lab, lab);
            ++conditions->adapted;
        }
        list.add(name, lab, origin);
    }

    for (const auto& [id, conditions] : known)
        if (conditions.adapted > 0)
            list.notes.push_back(source + ": " + std::to_string(conditions.adapted) + " colour" +
                                 (conditions.adapted == 1 ? "" : "s") + " of ColorSpecification '" +
                                 id + "' (" + conditions.illuminant + ", " +
                                 degrees(conditions.observer) +
                                 ") adapted to D50, 2\u00B0 with Bradford chromatic adaptation");
    if (withoutConditions > 0)
        list.notes.push_back(source + ": " + std::to_string(withoutConditions) + " colour" +
                             (withoutConditions == 1 ? "" : "s") +
                             " without a ColorSpecification taken as D50, 2\u00B0");
    return list;
}
