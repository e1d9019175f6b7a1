// Each test gets a freshly loaded library, a scratch folder of its own and
// an environment in which LOCALAPPDATA names <scratch>/base and nothing else
// names a base folder.
#ifndef WIDESAVE_TESTS_WIDESAVE_FIXTURE_H
#define WIDESAVE_TESTS_WIDESAVE_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "host_library.h"
#include "test_system.h"

#ifndef WIDESAVE_LIBRARY_FILE
#error "WIDESAVE_LIBRARY_FILE names the library under test"
#endif

class WideSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testsys::make_temp_root();
        ASSERT_FALSE(root.empty()) << "no scratch folder";
        base = join({root, u"base"});
        ASSERT_TRUE(testsys::make_directory(base));
        for (const char* name : {"LOCALAPPDATA", "APPDATA", "XDG_DATA_HOME", "HOME"}) {
            testsys::unset_env(name);
        }
        testsys::set_env("LOCALAPPDATA", base);
        const std::string error = load_library(WIDESAVE_LIBRARY_FILE, lib);
        ASSERT_TRUE(error.empty()) << error;
    }

    void TearDown() override {
        unload_library(lib);
        testsys::remove_tree(root);
    }

    static std::u16string join(std::initializer_list<std::u16string> parts) {
        std::u16string path;
        for (const std::u16string& part : parts) {
            if (!path.empty()) {
                path += testsys::kSep;
            }
            path += part;
        }
        return path;
    }

    // ReadSaveFile's text, with the block freed as a host frees it.
    std::string read_slot(int32_t slot) {
        char* text = lib.ReadSaveFile(slot);
        if (text == nullptr) {
            ADD_FAILURE() << "ReadSaveFile gave null";
            return {};
        }
        std::string copy = text;
        free_text(text);
        return copy;
    }

    // A base folder of exactly `units` UTF-16 units that exists on disk,
    // starting with a character outside the BMP so that a length counted in
    // bytes or code points comes out wrong.
    std::u16string make_base_of_length(std::size_t units) const {
        std::u16string path = root + testsys::kSep + u"\U0001F3AE";
        if (!testsys::make_directory(path)) {
            return {};
        }
        while (path.size() < units) {
            const std::size_t room = units - path.size() - 1;
            path += testsys::kSep;
            path += std::u16string(room < 100 ? room : 100, u'd');
            if (!testsys::make_directory(path)) {
                return {};
            }
        }
        return path;
    }

    HostLibrary lib;
    // How the texts the library hands out are freed: as a host frees them,
    // unless a test build wants to see it.
    void (*free_text)(void*) = std::free;
    std::u16string root;
    std::u16string base;
};

#endif
