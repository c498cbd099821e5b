#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where the reader gets the interface table: GetIfTable over a MIB_IFTABLE byte image
// (see IfTableLayout.h). `size` is the size of `table` in bytes; when it is too small the call
// answers kInsufficientBuffer and writes the size needed back.
class IInterfaceTable {
public:
    virtual uint32_t GetIfTable(void* table, uint32_t* size, bool order) = 0;

protected:
    ~IInterfaceTable() = default;
};

// The table every reader call uses; null (the start state) stands for a system without one: no rows.
void SetInterfaceTable(IInterfaceTable* table);
IInterfaceTable* CurrentInterfaceTable();

// The interface counter reader. Every call takes its own fresh snapshot of the table and keeps
// nothing. A table that cannot be read has no rows. An interface's name is its description up to the
// first NUL within dwDescrLen; the empty name stands for all interfaces together.
int32_t NumInterfaces();
// Names in the system's table order; element i (from 0) is row i. Logs number them from 1.
std::vector<std::string> GetInterfaceNames();
// The counter of the first row named exactly (case-sensitive) `interfaceName`, or 0 when none is.
// The empty name gives the sum over every row, modulo 2^32. Counters are unsigned 32-bit values
// handed on as the signed 32-bit number of the same bits.
int32_t GetInOctets(std::string_view interfaceName);
int32_t GetOutOctets(std::string_view interfaceName);
