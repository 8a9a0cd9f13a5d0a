// The core register names of the processor families selectable with -a, each
// set stored in byte order and searched by halving.
#include <cstring>

#include "compiler/memory_access.h"
#include "driver/diagnostics.h"

namespace {

// Set 1 (-a C620X, C6201, C621X): 41 names.
const char* const kSet1[] = {
    "A0", "A1", "A10", "A11", "A12", "A13", "A14", "A15", "A2", "A3", "A4", "A5", "A6", "A7", "A8",
    "A9", "AMR", "B0", "B1", "B10", "B11", "B12", "B13", "B14", "B15", "B2", "B3", "B4", "B5", "B6",
    "B7", "B8", "B9", "CSR", "EM", "ER", "IER", "IFR", "IRP", "ISTP", "NRP",
};

// Set 2 (-a C64X, C6416): 75 names.
const char* const kSet2[] = {
    "A0", "A1", "A10", "A11", "A12", "A13", "A14", "A15", "A16", "A17", "A18", "A19", "A2", "A20",
    "A21", "A22", "A23", "A24", "A25", "A26", "A27", "A28", "A29", "A3", "A30", "A31", "A4", "A5",
    "A6", "A7", "A8", "A9", "AMR", "B0", "B1", "B10", "B11", "B12", "B13", "B14", "B15", "B16",
    "B17", "B18", "B19", "B2", "B20", "B21", "B22", "B23", "B24", "B25", "B26", "B27", "B28", "B29",
    "B3", "B30", "B31", "B4", "B5", "B6", "B7", "B8", "B9", "CSR", "DIER", "EM", "ER", "GFPGF",
    "IER", "IFR", "IRP", "ISTP", "NRP",
};

// Set 3 (-a C64X+): 90 names.
const char* const kSet3[] = {
    "A0", "A1", "A10", "A11", "A12", "A13", "A14", "A15", "A16", "A17", "A18", "A19", "A2", "A20",
    "A21", "A22", "A23", "A24", "A25", "A26", "A27", "A28", "A29", "A3", "A30", "A31", "A4", "A5",
    "A6", "A7", "A8", "A9", "AMR", "B0", "B1", "B10", "B11", "B12", "B13", "B14", "B15", "B16",
    "B17", "B18", "B19", "B2", "B20", "B21", "B22", "B23", "B24", "B25", "B26", "B27", "B28", "B29",
    "B3", "B30", "B31", "B4", "B5", "B6", "B7", "B8", "B9", "CSR", "DIER", "DNUM", "ECR", "EFR",
    "EM", "ER", "GFPGF", "GPLYA", "GPLYB", "IER", "IERR", "IFR", "ILC", "IRP", "ISTP", "ITSR",
    "NRP", "NTSR", "PC", "REP", "RILC", "SSR", "TSCH", "TSCL",
};

// Set 4 (-a C670X, C671X, C6713): 42 names.
const char* const kSet4[] = {
    "A0", "A1", "A10", "A11", "A12", "A13", "A14", "A15", "A2", "A3", "A4", "A5", "A6", "A7", "A8",
    "A9", "AMR", "B0", "B1", "B10", "B11", "B12", "B13", "B14", "B15", "B2", "B3", "B4", "B5", "B6",
    "B7", "B8", "B9", "CSR", "FADCR", "FAUCR", "FMCR", "IER", "IFR", "IRP", "ISTP", "NRP",
};

// Set 5 (-a C54X): 24 names.
const char* const kSet5[] = {
    "A", "AR0", "AR1", "AR2", "AR3", "AR4", "AR5", "AR6", "AR7", "B", "BK", "BRC", "DP", "IFR",
    "IMR", "IPTR", "PMST", "REA", "RSA", "SP", "ST0", "ST1", "T", "TRN",
};

// Set 6 (-a C55X, C5510): 57 names.
const char* const kSet6[] = {
    "AC0", "AC1", "AC2", "AC3", "BK03", "BK47", "BKC", "BRC0", "BRC1", "BRS1", "BSA01", "BSA23",
    "BSA45", "BSA67", "BSAC", "CFCT", "CSR", "DBIER0", "DBIER1", "IER0", "IER1", "IFR0", "IFR1",
    "IVPD", "IVPH", "MDP", "MDP05", "MDP67", "PC", "PDP", "REA0", "REA1", "RETA", "RPTC", "RSA0",
    "RSA1", "ST0", "ST1", "ST2", "ST3", "T0", "T1", "T2", "T3", "TRN0", "TRN1", "XAR0", "XAR1",
    "XAR2", "XAR3", "XAR4", "XAR5", "XAR6", "XAR7", "XCDP", "XDP", "XSP",
};

// Set 7 (-a C28X): 42 names.
const char* const kSet7[] = {
    "ACC", "AH", "AL", "AR0", "AR0H", "AR1", "AR1H", "AR2", "AR2H", "AR3", "AR3H", "AR4", "AR4H", "AR5",
    "AR5H", "AR6", "AR6H", "AR7", "AR7H", "DBGIER", "DP", "IER", "IFR", "P", "PC", "PH", "PL", "RPC",
    "SP", "ST0", "ST1", "T", "TL", "XAR0", "XAR1", "XAR2", "XAR3", "XAR4", "XAR5", "XAR6", "XAR7", "XT",
};

// Set 8 (-a C28XFPU): set 7 and the floating-point unit's R0H to R7H, STF, RB; 52 names.
const char* const kSet8[] = {
    "ACC", "AH", "AL", "AR0", "AR0H", "AR1", "AR1H", "AR2", "AR2H", "AR3", "AR3H", "AR4", "AR4H", "AR5",
    "AR5H", "AR6", "AR6H", "AR7", "AR7H", "DBGIER", "DP", "IER", "IFR", "P", "PC", "PH", "PL", "R0H",
    "R1H", "R2H", "R3H", "R4H", "R5H", "R6H", "R7H", "RB", "RPC", "SP", "ST0", "ST1", "STF", "T", "TL",
    "XAR0", "XAR1", "XAR2", "XAR3", "XAR4", "XAR5", "XAR6", "XAR7", "XT",
};

// Set 9 (-a C66X, C674X): set 3, the floating-point FADCR FAUCR FMCR, and the
// control registers GFPGFR ICR ISR PCE1 TSR; 98 names.
const char* const kSet9[] = {
    "A0", "A1", "A10", "A11", "A12", "A13", "A14", "A15", "A16", "A17", "A18", "A19", "A2", "A20",
    "A21", "A22", "A23", "A24", "A25", "A26", "A27", "A28", "A29", "A3", "A30", "A31", "A4", "A5",
    "A6", "A7", "A8", "A9", "AMR", "B0", "B1", "B10", "B11", "B12", "B13", "B14", "B15", "B16",
    "B17", "B18", "B19", "B2", "B20", "B21", "B22", "B23", "B24", "B25", "B26", "B27", "B28", "B29",
    "B3", "B30", "B31", "B4", "B5", "B6", "B7", "B8", "B9", "CSR", "DIER", "DNUM", "ECR", "EFR",
    "EM", "ER", "FADCR", "FAUCR", "FMCR", "GFPGF", "GFPGFR", "GPLYA", "GPLYB", "ICR", "IER", "IERR",
    "IFR", "ILC", "IRP", "ISR", "ISTP", "ITSR", "NRP", "NTSR", "PC", "PCE1", "REP", "RILC", "SSR",
    "TSCH", "TSCL", "TSR",
};

// Set 10 (-a CORTEXM): 23 names.
const char* const kSet10[] = {
    "BASEPRI", "CONTROL", "FAULTMASK", "LR", "MSP", "PC", "PRIMASK", "PSP", "R0", "R1", "R10", "R11",
    "R12", "R2", "R3", "R4", "R5", "R6", "R7", "R8", "R9", "SP", "XPSR",
};

// Set 11 (-a CORTEXA, CORTEXR): 18 names.
const char* const kSet11[] = {
    "CPSR", "LR", "PC", "R0", "R1", "R10", "R11", "R12", "R2", "R3", "R4", "R5", "R6", "R7", "R8",
    "R9", "SP", "SPSR",
};

struct RegisterSet {
    const char* const* names;
    int count;
};

template <int N>
constexpr RegisterSet set_of(const char* const (&names)[N]) {
    return {names, N};
}

const RegisterSet kSets[] = {
    {nullptr, 0},   set_of(kSet1), set_of(kSet2), set_of(kSet3),  set_of(kSet4),  set_of(kSet5),
    set_of(kSet6),  set_of(kSet7), set_of(kSet8), set_of(kSet9),  set_of(kSet10), set_of(kSet11),
};

constexpr int kSetCount = static_cast<int>(sizeof kSets / sizeof kSets[0]) - 1;

}  // namespace

const char* const* core_register_set(int set, int* count) {
    if (set < 1 || set > kSetCount) {
        *count = 0;
        return nullptr;
    }
    *count = kSets[set].count;
    return kSets[set].names;
}

bool is_core_register(const char* name) {
    int count = 0;
    const char* const* names = core_register_set(architecture, &count);
    if (!names || !name) return false;
    int low = 0, high = count - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        int c = std::strcmp(name, names[middle]);
        if (c == 0) return true;
        if (c < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return false;
}
