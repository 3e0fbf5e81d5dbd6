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

const double pcsWhite[3] = {96.42, 100, 82.49};

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

struct Specification {
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

Specification specification(const XMLElement* element) {
    Specification spec;
    const XMLElement* tristimulus = child(element, "TristimulusSpec");
    spec.illuminant = childText(tristimulus, "Illuminant");
    spec.observer = childText(tristimulus, "Observer");
    if (spec.illuminant.empty())
        spec.illuminant = "D50";
    if (spec.observer.empty())
        spec.observer = "2_Degree";
    const std::string observer = observerName(spec.observer);
    if (observer.empty()) {
        spec.problem = "unknown observer '" + spec.observer + "'";
        return spec;
    }
    spec.d50TwoDegree = spec.illuminant == "D50" && observer == "2";
    if (spec.d50TwoDegree)
        return spec;
    csContext context;
    if (context.setObserverByName(observer.c_str()) != 0 ||
        context.setIlluminantByName(spec.illuminant.c_str()) != 0) {
        clearLog();
        spec.problem = "unknown illuminant '" + spec.illuminant + "'";
        return spec;
    }
    spec.white[0] = context.whiteX();
    spec.white[1] = context.whiteY();
    spec.white[2] = context.whiteZ();
    return spec;
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
    double g[3];
    for (int k = 0; k < 3; ++k)
        g[k] = csCIE::labF(xyz[k] / pcsWhite[k]);
    result[0] = 116 * g[1] - 16;
    result[1] = 500 * (g[0] - g[1]);
    result[2] = 200 * (g[1] - g[2]);
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

    std::map<std::string, Specification> specifications;
    std::vector<const XMLElement*> found;
    collect(root, "ColorSpecification", found);
    for (const XMLElement* element : found)
        if (const char* id = element->Attribute("Id"))
            specifications.emplace(id, specification(element));

    std::vector<const XMLElement*> objects;
    collect(root, "Object", objects);
    std::size_t unspecified = 0;
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

        Specification* spec = nullptr;
        if (const char* id = colour->Attribute("ColorSpecification")) {
            const auto found = specifications.find(id);
            if (found == specifications.end()) {
                list.skip(origin, std::string("ColorSpecification '") + id + "' is not defined");
                continue;
            }
            spec = &found->second;
            if (spec->problem) {
                list.skip(origin, *spec->problem);
                continue;
            }
        } else {
            ++unspecified;
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
        if (lch) {
            const double r = numbers[2] * csCIE::pi / 180.0;
            lab[1] = numbers[1] * std::cos(r);
            lab[2] = numbers[1] * std::sin(r);
        }
        if (spec != nullptr && !spec->d50TwoDegree) {
            adaptLabToD50(spec->white, lab, lab);
            ++spec->adapted;
        }
        list.add(name, lab, origin);
    }

    for (const auto& [id, spec] : specifications)
        if (spec.adapted > 0)
            list.notes.push_back(source + ": " + std::to_string(spec.adapted) + " colour" +
                                 (spec.adapted == 1 ? "" : "s") + " of ColorSpecification '" + id +
                                 "' (" + spec.illuminant + ", " + degrees(spec.observer) +
                                 ") adapted to D50, 2\u00B0 with Bradford chromatic adaptation");
    if (unspecified > 0)
        list.notes.push_back(source + ": " + std::to_string(unspecified) + " colour" +
                             (unspecified == 1 ? "" : "s") +
                             " without a ColorSpecification taken as D50, 2\u00B0");
    return list;
}
