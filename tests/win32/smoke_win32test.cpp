#include <gtest/gtest.h>
#include <windows.h>
TEST(Smoke, ClassRegistered) {
  WNDCLASSEXA wc = {sizeof(wc)};
  EXPECT_TRUE(::GetClassInfoExA(::GetModuleHandleA(nullptr), "Kelvane", &wc));
}
