// The macro table: 64 hash chains, each kept in ascending order of names.
#include <ctime>
#include <memory>

#include "preprocessor/pp_internal.h"
#include "preprocessor/preprocessor.h"

namespace {

constexpr unsigned CHAIN_COUNT = 64;

// Each chain is an ordered map so that a long chain is still searched in
// logarithmic time.
std::map<std::string, std::unique_ptr<MacroDefinition>> chains[CHAIN_COUNT];

unsigned name_hash(const std::string& name) {
    unsigned h = 0;
    for (unsigned char c : name) h += c;
    return h + static_cast<unsigned>(name.size());
}

}  // namespace

std::string truncated_name(const std::string& name) {
    return name.size() > IDENTIFIER_LIMIT ? name.substr(0, IDENTIFIER_LIMIT) : name;
}

MacroDefinition* lookup_macro(const std::string& full_name) {
    std::string name = truncated_name(full_name);
    auto& chain = chains[name_hash(name) % CHAIN_COUNT];
    auto it = chain.find(name);
    return it == chain.end() ? nullptr : it->second.get();
}

MacroDefinition* enter_macro(const std::string& full_name, bool* existed) {
    std::string name = truncated_name(full_name);
    unsigned h = name_hash(name);
    auto& slot = chains[h % CHAIN_COUNT][name];
    *existed = slot != nullptr;
    if (!slot) {
        slot = std::make_unique<MacroDefinition>();
        slot->name = name;
        slot->hash = h;
    }
    return slot.get();
}

void remove_macro(const std::string& full_name) {
    std::string name = truncated_name(full_name);
    auto& chain = chains[name_hash(name) % CHAIN_COUNT];
    auto it = chain.find(name);
    if (it == chain.end()) return;
    chain.erase(it);
}

void clear_macro_table() {
    for (auto& chain : chains) chain.clear();
}

void define_predefined_macros() {
    static const struct { const char* name; int count; } dynamic[] = {{"__LINE__", -2}, {"__FILE__", -3}};
    for (const auto& d : dynamic) {
        bool existed;
        MacroDefinition* m = enter_macro(d.name, &existed);
        m->has_replacement = false;
        m->replacement.clear();
        m->parameter_count = d.count;
        m->conversion_kind = MC_EXPANDED;
    }
    bool existed;
    MacroDefinition* m = enter_macro("__DATE__", &existed);
    // The C library's date text ("Mon Jan  2 15:04:05 2006"), written here
    // because not every C library pads the day the same way.
    static const char days[] = "SunMonTueWedThuFriSat";
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    time_t now = time(nullptr);
    char text[64] = "??? ??? ?? ??:??:?? ????";
    if (const struct tm* t = localtime(&now); t && t->tm_wday >= 0 && t->tm_wday < 7 && t->tm_mon >= 0 && t->tm_mon < 12)
        snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", days + 3 * t->tm_wday, months + 3 * t->tm_mon,
                 t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec, t->tm_year + 1900);
    m->has_replacement = true;
    m->replacement = std::string("\"") + text + "\"";
    m->body = m->replacement;
    m->parameter_count = -1;
    m->conversion_kind = MC_EXPANDED;
}

MacroConversionKind macro_conversion_kind(const char* name) {
    if (!name) return MC_EXPANDED;
    MacroDefinition* m = lookup_macro(name);
    return m ? m->conversion_kind : MC_EXPANDED;
}

void free_macro_table() { clear_macro_table(); }
