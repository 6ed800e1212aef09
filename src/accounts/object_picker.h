#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace accounts {

// Orders and matches keys without regard to case, as attribute names are.
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const;
};

// The attributes of one chosen object: "Name", "Class", "ADPath", "UPN",
// "DomainName", "Description", "objectSID".
using SelectionMap = std::map<std::u16string, std::u16string, NoCaseLess>;

// One object as the chooser hands it over. The two fetched attributes are
// absent when the object has none.
struct PickedObject {
    std::u16string name;
    std::u16string className;  // "user" or "group"
    std::u16string adsPath;    // WinNT://DOMAIN/name
    std::u16string upn;
    std::optional<std::u16string> description;
    std::optional<std::u16string> objectSid;

    bool operator==(const PickedObject&) const = default;
};

// What the user and group chooser returns: one attribute map per chosen
// object, in the order they were chosen. The dialog itself lives with the
// administrator console; this is its data.
class CObjectPicker {
public:
    enum Mode : std::int32_t {
        kModeUsersAndGroups = 1,
        kModeComputers = 2,
    };

    CObjectPicker() = default;
    virtual ~CObjectPicker() = default;

    // Chooses what the picker offers; always 0.
    int Init(std::int32_t mode);
    // Replaces the selections with the chosen objects, in their order. The
    // domain, description and SID are kept only for users and groups.
    void ProcessSelections(const std::vector<PickedObject>& chosen);

    std::int32_t m_nMode = 0;
    std::vector<SelectionMap> m_selections;
};

// The domain and name parts of an ADsPath: the texts before and after its
// last "/". False when the path has no "/" before a last one that is not its
// first character.
bool SplitADsPath(std::u16string_view path, std::u16string* domain, std::u16string* name);

// A key's text, empty when the map lacks it.
std::u16string SelectionValue(const SelectionMap& selection, std::u16string_view key);

// The configuration entry a chosen object stands for: DomainName, a
// backslash and Name; a group when Class is "group" in any case.
struct SelectionEntry {
    std::u16string name;
    std::int32_t type = 1;
};
SelectionEntry EntryForSelection(const SelectionMap& selection);

} // namespace accounts
