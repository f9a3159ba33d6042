#pragma once
// Readable names of C++ types for log lines, written as "class X" so that template instances
// read "CThreadMgr<class CServerClearDBMgr>".
#include <cxxabi.h>

#include <cstdlib>
#include <string>
#include <typeinfo>

inline std::string ReadableTypeName(const std::type_info& type)
{
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = (status == 0 && demangled) ? demangled : type.name();
    std::free(demangled);
    return "class " + name;
}

// "Template<class T>" for a class template named templateName instantiated with T.
template <typename T>
std::string TemplateInstanceName(const char* templateName)
{
    return std::string(templateName) + "<" + ReadableTypeName(typeid(T)) + ">";
}
