#include <vc/core/exception.h>

#include <gtest/gtest.h>

#include <memory>

#include <vc/core/archive.h>

TEST(CoreException, WhatGivesQualifiedNameAndMessage) {
  vcShapesError::BadGeom e("radius is negative");
  EXPECT_STREQ(e.what(), "vcShapesError::BadGeom: radius is negative");
  vcArchive::UnknownVersion v("dispc/color", 12);
  EXPECT_EQ(v.source(), "dispc/color");
  EXPECT_EQ(v.line(), 12);
  EXPECT_NE(std::string(v.what()).find("dispc/color:12"), std::string::npos);
  EXPECT_STREQ(vcArchive::UnknownVersion("vcUIError::BadLayer", 0).what(),
               "vcArchive::UnknownVersion: unknown archive version in vcUIError::BadLayer");
}

TEST(CoreException, CaughtAsStdExceptionAndThroughItsBases) {
  EXPECT_THROW(throw vcShapesError::NotRegion("x"), vcShapesError::Errors);
  EXPECT_THROW(throw vcArchive::BadData("x"), vcArchive::Errors);
  EXPECT_THROW(throw vcMathError("x"), std::exception);
  EXPECT_THROW(vfThrowExceptionOnFailure(-3), vcFailure);
  EXPECT_NO_THROW(vfThrowExceptionOnFailure(0));
}

TEST(CoreException, FactoryRecreatesByNameAndArchiveKeepsMessage) {
  vcPersistent* made = vc_Instantiator::create("vcShapesError::BadRadius");
  ASSERT_NE(made, nullptr);
  std::unique_ptr<vcPersistent> owner(made);
  auto* e = dynamic_cast<vcException*>(made);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->errorNumber(), vcShapesError::BadRadius().errorNumber());

  vcPersistent* p = new vcMathError("singular matrix");
  std::unique_ptr<vcPersistent> original(p);
  vcBufferArchive out(vcArchive::eStore);
  out.serializePointer(p);
  vcBufferArchive in(out.bytes());
  vcPersistent* q = nullptr;
  in.serializePointer(q);
  std::unique_ptr<vcPersistent> back(q);
  auto* m = dynamic_cast<vcMathError*>(q);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->string(), "singular matrix");
}

TEST(CoreException, SuicideAndRethrowDeletesAndThrowsTheSameClass) {
  vcException* heap = new vcBadPointer("null shape");
  try {
    heap->suicideAndRethrow();
    FAIL() << "suicideAndRethrow returned";
  } catch (const vcBadPointer& e) {
    EXPECT_EQ(e.string(), "null shape");
  }
}
