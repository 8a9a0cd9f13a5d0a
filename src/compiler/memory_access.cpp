// Reads of @-forms and registers into temporaries, pointer dereferences, and
// the writes, compound assignments and increments of memory and register
// targets.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/expression_support.h"
#include "compiler/memory_access.h"
#include "driver/characters.h"
#include "driver/diagnostics.h"
#include "driver/targets.h"
#include "rewrite/patterns.h"

namespace {

const char* class_letter(uint32_t access_type) {
    switch (access_type & 0x70) {
        case 0x10: return "p:";
        case 0x20: return "d:";
        case 0x40: return "io:";
        default: return nullptr;
    }
}

const char* size_word(uint32_t access_type) {
    switch (access_type & 0xF) {
        case 1: return "%%BYTE";
        case 2: return "%%WORD";
        case 4: return "%%LONG";
        case 8: return "%%QUAD";
        default: return nullptr;
    }
}

const char* width_type(uint32_t access_type) {
    switch (access_type & 0xF) {
        case 1: return "char";
        case 2: return "short";
        case 4: return "int";
        case 8: return "long long";
        default: return nullptr;
    }
}

// An @-form by access_type: the C type of its temporary, the opening of a
// plain write and the opening of a compound write (address text first). For
// 0x822 (data, 16 bit, unsigned): "unsigned short",
// "Data.Set d:(%s) %%WORD Var.VALUE((unsigned short)(" and
// "DATA.SET d:(%s) %%WORD V.VALUE((unsigned short)(".
struct MemoryForm {
    uint32_t access_type;
    std::string c_type;
    std::string write_opening;
    std::string compound_opening;
};

// The form of one of the 24 access types of the @-tokens, null for any other.
const MemoryForm* memory_form(uint32_t access_type) {
    static const std::vector<MemoryForm> kForms = [] {
        std::vector<MemoryForm> forms;
        for (uint32_t id = ID_AT_FIRST; id <= ID_AT_LAST; ++id) {
            uint32_t type = at_access_type(id);
            std::string c_type = std::string(type & 0x800 ? "unsigned " : "") + width_type(type);
            std::string target = std::string(class_letter(type)) + "(%s) " + size_word(type);
            forms.push_back({type, c_type, "Data.Set " + target + " Var.VALUE((" + c_type + ")(",
                             "DATA.SET " + target + " V.VALUE((" + c_type + ")("});
        }
        return forms;
    }();
    for (const MemoryForm& form : kForms) {
        if (form.access_type == access_type) return &form;
    }
    return nullptr;
}

// "io" or "d": the access class of a peripheral register.
const char* register_class(const ResultDescriptor* rd) { return rd->reg_is_io ? "io" : "d"; }

int32_t take_temporary() {
    int32_t n = numbering.temp_counter;
    numbering.temp_counter = n + 1;
    return n;
}

// Right operand of a memory write, as plain text.
std::string plain_operand(int kind, const ResultDescriptor* rd) {
    switch (checked_class(kind, "C_assignment_expression")) {
        case OC_TEMPORARY: return fill("\\__V%i", {number_text(rd->number)});
        case OC_MACRO: return fill("&__V%i", {number_text(rd->number)});
        case OC_HLL: return fill("\\%s", {text_of(rd)});
        default: return text_of(rd);
    }
}

// A text that reads the target with the script's memory or register functions.
bool reads_with_script_functions(const std::string& text) {
    std::string lower(text);
    for (char& c : lower) c = ascii::lower(c);
    return lower.find("data.") != std::string::npos || lower.find("register(") != std::string::npos;
}

// Size name, cast blanking and squeeze of a dereferenced text.
std::string prepare_dereference(std::string text, uint32_t type_flags, const char** size_name) {
    *size_name = dereference_size_name(type_flags);
    if ((type_flags & 0xFF) != 0) blank_first_cast(text);
    squeeze_after_parentheses(text);
    return text;
}

}  // namespace

uint32_t at_access_type(uint32_t id) {
    if (!is_at_kind(id)) return 0;
    uint32_t i = id - ID_AT_FIRST;
    static const uint32_t kClasses[3] = {0x10, 0x20, 0x40};
    uint32_t type = kClasses[(i % 12) / 4] | (1u << (i % 4));
    if (i >= 12) type |= 0x800;
    return type;
}

int read_memory_form(const tree_element* at, ResultDescriptor* rd) {
    const MemoryForm* form = memory_form(at_access_type(at->id));
    if (!form) FATAL_INTERNAL_ERROR("C_primary_expression");
    const char* address = at->txt ? at->txt : "";
    int32_t n = take_temporary();
    emit("&__MEMORY_VALUE=");
    memory_read_expression(form->access_type, address);
    emit("\n");
    std::printf("Var.NEW %s \\__V%i\n", form->c_type.c_str(), n);
    std::printf("Var.Assign \\__V%i=&__MEMORY_VALUE\n", n);
    *rd = ResultDescriptor{};
    rd->number = n;
    rd->text = pool_string(address);
    rd->access_type = form->access_type;
    return RK_MEMORY_TEMP;
}

// Keeps the register value just read into &__REGISTER_VALUE in a new HLL
// temporary, which `rd` names. Core and peripheral registers spell the
// assignment differently (`assign`).
static void keep_register_value(const char* name, const char* assign, ResultDescriptor* rd) {
    int32_t n = take_temporary();
    std::printf("Var.NEW unsigned long \\__V%i\n", n);
    std::printf("%s \\__V%i=&__REGISTER_VALUE\n", assign, n);
    rd->number = n;
    rd->text = pool_string(name);
}

int read_register_identifier(const char* name, ResultDescriptor* rd) {
    if (is_core_register(name)) {
        std::printf("&__REGISTER_VALUE=register(%s)\n", name);
        *rd = ResultDescriptor{};
        keep_register_value(name, "Var.Assign", rd);
        return RK_CORE_REGISTER_TEMP;
    }
    RegisterRecord record;
    if (target_mcu_index >= 0 && find_register(name, &record)) {
        *rd = ResultDescriptor{};
        rd->reg_address = record.address;
        rd->reg_width = static_cast<uint32_t>(record.width);
        rd->reg_is_io = record.memory_class == 1 ? 1 : 0;
        std::printf("&__REGISTER_VALUE=data.%s(%s:0x%08X)\n", size_keyword(rd), register_class(rd), rd->reg_address);
        keep_register_value(name, "Var.ASSIGN", rd);
        return RK_PERIPHERAL_REGISTER_TEMP;
    }
    return 0;
}

const char* dereference_size_name(uint32_t type_flags) {
    // By the width word of the type, so that "short int", "long int" and
    // "long long" read the width they name; an int or no type reads a Long.
    // void, float and double have no integer width to read.
    const uint32_t type = type_flags & 0xFF;
    if (type & (TF_VOID | TF_FLOAT | TF_DOUBLE)) return "TYPE_ERROR";
    if (type & TF_CHAR) return "Byte";
    if (type & TF_SHORT) return "Word";
    if (type & (TF_LONG | TF_LONG_LONG)) return "Quad";
    return "Long";
}

int convert_dereference(int operand_kind, ResultDescriptor* rd) {
    OperandClass c = checked_class(operand_kind, "C_unary_expression");
    // A temporary stands for the value it holds, so it is the address that
    // is dereferenced.
    std::string operand = c == OC_TEMPORARY ? fill("\\__V%i", {number_text(rd->number)}) : text_of(rd);
    // A pointer variable without a cast reads the width of its declared type.
    if (c == OC_HLL && (rd->type_flags & 0xFF) == 0) rd->type_flags |= pointee_type_bits(rd->text);
    const char* size = nullptr;
    std::string text = prepare_dereference(operand, rd->type_flags, &size);

    std::string wrapped;
    if (expression_state.deref_mode & DEREF_FUNCTION_FORM) {
        if (c == OC_EXPRESSION)
            wrapped = fill("Data.%s(D:", {size}) + text + ")";
        else if (c == OC_HLL)
            wrapped = fill("Data.%s(D:Var.Value(\\", {size}) + text + "))";
        else
            wrapped = fill("Data.%s(D:(", {size}) + text + "))";
    } else if (expression_state.deref_mode & DEREF_HLL_FORM) {
        wrapped = fill(c == OC_HLL ? "\\Data_%s(\\" : "\\Data_%s(", {size}) + text + ")";
    } else {
        FATAL_INTERNAL_ERROR("C_unary_expression");
    }

    rd->text = pool_string(wrapped.c_str());
    if (expression_state.deref_mode & DEREF_DROP_CAST)
        expression_state.drop_next_cast = true;
    else
        rd->type_flags |= TF_DEREF_AS_TEXT;
    return RK_EXPRESSION;
}

void write_target(int left_kind, const ResultDescriptor* left, int right_kind, const ResultDescriptor* right) {
    OperandClass column = checked_class(right_kind, "C_assignment_expression");
    if (left_kind == RK_PERIPHERAL_REGISTER_TEMP) {
        std::printf("DATA.SET %s:0x%08X %s ", register_class(left), left->reg_address, size_format(left));
        if (right_kind == RK_PERIPHERAL_REGISTER_TEMP)
            std::printf("data.%s(%s:0x%08X)\n", size_keyword(right), register_class(right), right->reg_address);
        else if (right_kind == RK_CORE_REGISTER_TEMP)
            std::printf("register(%s)\n", text_of(right));
        else if (right_kind == RK_MEMORY_TEMP)
            std::printf("Var.VALUE(\\__V%i)\n", right->number);
        else if (column == OC_MACRO)
            std::printf("&__V%i\n", right->number);
        else if (column == OC_HLL)
            std::printf("Var.VALUE(\\%s)\n", text_of(right));
        else
            std::printf("Var.VALUE(%s)\n", text_of(right));
        return;
    }
    if (left_kind == RK_CORE_REGISTER_TEMP) {
        std::string name = text_of(left);
        if (right_kind == RK_PERIPHERAL_REGISTER_TEMP)
            std::printf("REGISTER.SET %s data.%s(%s:0x%08X)\n", name.c_str(), size_keyword(right), register_class(right),
                        right->reg_address);
        else if (right_kind == RK_CORE_REGISTER_TEMP)
            std::printf("REGISTER.SET %s register(%s)\n", name.c_str(), text_of(right));
        else if (right_kind == RK_MEMORY_TEMP)
            std::printf("REGISTER.SET %s V.VALUE(\\__V%i)\n", name.c_str(), right->number);
        else if (column == OC_MACRO)
            std::printf("REGISTER.SET %s &__V%i\n", name.c_str(), right->number);
        else if (column == OC_HLL)
            std::printf("REGISTER.SET %s Var.VALUE(\\%s)\n", name.c_str(), text_of(right));
        else
            std::printf("REGISTER.SET %s V.VALUE(%s)\n", name.c_str(), text_of(right));
        return;
    }
    if (left_kind == RK_MEMORY_TEMP) {
        const MemoryForm* form = memory_form(left->access_type);
        if (!form) FATAL_INTERNAL_ERROR("C_assignment_expression");
        std::string value = plain_operand(right_kind, right);
        if (reads_with_script_functions(value)) {
            // A value read with the memory or register functions is a script
            // value, not one for the HLL evaluator: written as it is, with
            // its HLL names read by Var.VALUE.
            const std::string& opening = form->write_opening;
            emit(fill(opening.substr(0, opening.find("Var.VALUE")).c_str(), {text_of(left)}));
            ResultDescriptor script;
            script.text = pool_string(value.c_str());
            value_call_pass(&script, 0);
            emit(std::string(script.text) + "\n");
            return;
        }
        emit(fill(form->write_opening.c_str(), {text_of(left)}));
        emit(value);
        emit("))\n");
        return;
    }
    FATAL_INTERNAL_ERROR("C_assignment_expression");
}

void pointer_write(int left_kind, ResultDescriptor* left, int right_kind, ResultDescriptor* right) {
    debug_trace("Data.Set\n");
    debug_trace(("rd1: " + std::string(text_of(left)) + "\n").c_str());
    debug_trace(("rd2: " + std::string(text_of(right)) + "\n").c_str());
    emit("Data.Set ");

    std::string text = text_of(left);
    size_t star = text.find('*');
    if (star != std::string::npos) text[star] = ' ';
    const char* size = nullptr;
    text = prepare_dereference(text, left->type_flags, &size);

    if (left_kind == RK_EXPRESSION) {
        bool operators = has_operator_character(text.c_str());
        left->text = pool_string(text.c_str());
        value_call_pass(left, 0);
        value_call_pass(left, 1);
        std::printf(operators ? "D:%s %%%s " : "D:(%s) %%%s ", text_of(left), size);
    } else if (left_kind == RK_TEXT) {
        left->text = pool_string(text.c_str());
        std::printf("D:(Var.VALUE(%s)) %%%s ", text_of(left), size);
    } else {
        FATAL_INTERNAL_ERROR("C_assignment_expression");
    }
    write_assigned_value(left, right_kind, right);
}

void compound_write_target(int left_kind, const ResultDescriptor* left, const char* op, int right_kind,
                           const ResultDescriptor* right) {
    OperandClass column = checked_class(right_kind, "C_assignment_expression");
    std::string ln = number_text(left->number);
    std::string argument = operand_argument(right_kind, right);
    // Right operand formats by column V, M, H, T, E.
    static const char* const kRegisterOperands[5] = {"Var.VALUE((\\__V%i)%s(\\__V%i))\n",
                                                      "Var.VALUE((\\__V%i)%s(&__V%i))\n",
                                                      "Var.VALUE((\\__V%i)%s(\\%s))\n",
                                                      "Var.VALUE((\\__V%i)%s(%s))\n", "Var.VALUE((\\__V%i)%s(%s))\n"};
    static const char* const kMemoryOperands[5] = {"(\\__V%i)%s(\\__V%i)", "(\\__V%i)%s(&__V%i)",
                                                   "(\\__V%i)%s(\\%s)", "(\\__V%i)%s(%s)", "(\\__V%i)%s%s"};
    if (left_kind == RK_PERIPHERAL_REGISTER_TEMP) {
        std::printf("DATA.SET %s:0x%08X %s ", register_class(left), left->reg_address, size_format(left));
        emit(fill(kRegisterOperands[column], {ln, op, argument}));
        return;
    }
    if (left_kind == RK_CORE_REGISTER_TEMP) {
        std::printf("REGISTER.SET %s ", text_of(left));
        emit(fill(kRegisterOperands[column], {ln, op, argument}));
        return;
    }
    if (left_kind == RK_MEMORY_TEMP) {
        const MemoryForm* form = memory_form(left->access_type);
        if (!form) FATAL_INTERNAL_ERROR("C_assignment_expression");
        emit(fill(form->compound_opening.c_str(), {text_of(left)}) + fill(kMemoryOperands[column], {ln, op, argument}) +
             "))\n");
        return;
    }
    FATAL_INTERNAL_ERROR("C_assignment_expression");
}

void step_target(int kind, const ResultDescriptor* target, bool increment, bool prefix, int32_t saved_number) {
    const char* caller = prefix ? "C_unary_expression" : "C_postfix_expression";
    if (!prefix) std::printf("&__V%i=Var.VALUE(\\__V%i)\n", saved_number, target->number);

    if (kind == RK_PERIPHERAL_REGISTER_TEMP) {
        const char* cls = register_class(target);
        const uint32_t address = target->reg_address;
        if (prefix)
            std::printf(increment ? "DATA.SET %s:0x%08X %s (data.%s(%s:0x%08X)+1)\n"
                                  : "DATA.SET %s:0x%08X %s (data.%s(%s:0x%08X)-1)\n",
                        cls, address, size_format(target), size_keyword(target), cls, address);
        else
            std::printf(increment ? "Data.Set %s:0x%08X %s (data.%s(%s:0x%08X)+1)\n"
                                  : "Data.Set %s:0x%08X %s (data.%s(%s:0x%08X)-1)\n",
                        cls, address, size_format(target), size_keyword(target), cls, address);
        if (prefix) {
            std::printf("&__REGISTER_VALUE=data.%s(%s:0x%08X)\n", size_keyword(target), cls, address);
            std::printf("Var.Assign \\__V%i=&__REGISTER_VALUE\n", target->number);
        }
        return;
    }
    if (kind == RK_CORE_REGISTER_TEMP) {
        std::string name = text_of(target);
        if (prefix)
            std::printf(increment ? "Register.Set %s (register(%s)+1)\n" : "REGISTER.SET %s (register(%s)-1)\n",
                        name.c_str(), name.c_str());
        else
            std::printf(increment ? "Register.Set %s (register(%s)+1)\n" : "Register.Set %s (register(%s)-1)\n",
                        name.c_str(), name.c_str());
        if (prefix) {
            std::printf("&__REGISTER_VALUE=register(%s)\n", name.c_str());
            std::printf("VAR.ASSIGN \\__V%i=&__REGISTER_VALUE\n", target->number);
        }
        return;
    }
    if (kind == RK_MEMORY_TEMP) {
        const char* cls = class_letter(target->access_type);
        const char* size = size_word(target->access_type);
        if (!cls || !size || !memory_form(target->access_type)) fatal_internal_error("compiler", caller, __LINE__);
        emit("Data.Set ");
        emit(cls);
        std::printf("(%s) ", text_of(target));
        emit(fill(size, {}) + " (");
        memory_read_expression(target->access_type, text_of(target));
        emit(increment ? "+1)\n" : "-1)\n");
        if (prefix) {
            emit("&__MEMORY_VALUE=");
            memory_read_expression(target->access_type, text_of(target));
            emit("\n");
            std::printf("Var.Assign \\__V%i=&__MEMORY_VALUE\n", target->number);
        }
        return;
    }
    fatal_internal_error("compiler", caller, __LINE__);
}
