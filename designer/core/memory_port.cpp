#include "designer/core/memory_port.h"

using design::Field;

std::map<Field, std::string> defaultDesignFields()
{
    std::map<Field, std::string> f{
        {Field::CrystalMhz, "10.0"}, {Field::MotionalL, ".02"}, {Field::HolderC0, "3.0"},
        {Field::CrystalQ, "200000"}, {Field::Bandwidth, "250"}, {Field::CrystalCount, "5"},
        {Field::MinEndR, "----"},    {Field::Q1, "0.519"},      {Field::Qn, "2.11"},
        {Field::K12, "1.46"},        {Field::K23, "1.0"},       {Field::K34, "0.93"},
        {Field::K45, "0.632"},       {Field::EndR, "50"},       {Field::EndC1, "--------"},
        {Field::EndCn, "------"}};
    for (int j = 5; j <= 9; ++j)
        f[design::couplingField(j)] = ".001";
    for (int j = 1; j <= 9; ++j)
        f[design::couplingCapField(j)] = ".001";
    for (int i = 1; i <= 10; ++i)
        f[design::tuningCapField(i)] = ".001";
    return f;
}

std::map<Field, std::string> typedDesignFields(const DesignPort& window)
{
    std::map<Field, std::string> f;
    for (Field field : {Field::CrystalMhz, Field::MotionalL, Field::HolderC0, Field::CrystalQ, Field::Bandwidth,
                        Field::CrystalCount, Field::Q1, Field::Qn, Field::EndR})
        f[field] = window.text(field);
    for (int j = 1; j <= 9; ++j)
        f[design::couplingField(j)] = window.text(design::couplingField(j));
    return f;
}

std::vector<Field> computedDesignFields()
{
    std::vector<Field> out{Field::MinEndR, Field::EndC1, Field::EndCn};
    for (int j = 1; j <= 9; ++j)
        out.push_back(design::couplingCapField(j));
    for (int i = 1; i <= 10; ++i)
        out.push_back(design::tuningCapField(i));
    return out;
}
