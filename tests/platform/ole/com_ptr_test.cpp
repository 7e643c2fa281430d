#include <pixavue/platform/ole/com_ptr.h>
#include <pixavue/platform/ole/ref_counted.h>

#include <gtest/gtest.h>

namespace pixavue::platform {
namespace {

class ITracked : public IRefCounted {
 public:
  virtual int Value() const = 0;
};

// Reports its own destruction through a flag the test owns.
class Tracked final : public RefCounted<ITracked> {
 public:
  explicit Tracked(bool& destroyed) : destroyed_(destroyed) {}
  ~Tracked() override { destroyed_ = true; }
  int Value() const override { return 42; }

 private:
  bool& destroyed_;
};

ULONG ReferencesOf(IRefCounted* object) {
  object->AddRef();
  return object->Release();
}

TEST(ComPtr, CopiesShareTheObjectAndTheLastReleaseDeletesIt) {
  bool destroyed = false;
  {
    ComPtr<Tracked> first = MakeComPtr<Tracked>(destroyed);
    ASSERT_TRUE(first);
    EXPECT_EQ(ReferencesOf(first.Get()), 1u);
    {
      ComPtr<ITracked> asInterface = first;  // converting copy
      EXPECT_EQ(ReferencesOf(first.Get()), 2u);
      EXPECT_EQ(asInterface->Value(), 42);
    }
    EXPECT_EQ(ReferencesOf(first.Get()), 1u);
    EXPECT_FALSE(destroyed);
  }
  EXPECT_TRUE(destroyed);
}

TEST(ComPtr, MovesAndSelfAssignmentKeepTheCount) {
  bool destroyed = false;
  ComPtr<Tracked> first = MakeComPtr<Tracked>(destroyed);
  ComPtr<Tracked> second = std::move(first);
  EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): a moved-from ComPtr is null
  EXPECT_EQ(ReferencesOf(second.Get()), 1u);
  auto& alias = second;
  second = alias;
  EXPECT_EQ(ReferencesOf(second.Get()), 1u);
  second = nullptr;
  EXPECT_TRUE(destroyed);
}

TEST(ComPtr, DetachAttachAndOutputParametersHandOverOneReference) {
  bool firstDestroyed = false;
  bool secondDestroyed = false;
  ComPtr<Tracked> owner = MakeComPtr<Tracked>(firstDestroyed);
  Tracked* raw = owner.Detach();
  EXPECT_FALSE(owner);
  EXPECT_EQ(ReferencesOf(raw), 1u);

  ComPtr<Tracked> adopter;
  adopter.Attach(raw);
  EXPECT_EQ(ReferencesOf(raw), 1u);
  Tracked** slot = adopter.ReleaseAndGetAddressOf();
  EXPECT_TRUE(firstDestroyed);
  *slot = MakeComPtr<Tracked>(secondDestroyed).Detach();
  EXPECT_EQ(ReferencesOf(adopter.Get()), 1u);
  adopter.Reset();
  EXPECT_TRUE(secondDestroyed);
}

}  // namespace
}  // namespace pixavue::platform
