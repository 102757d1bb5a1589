// A generation run of the main window against the walk of the tables it
// replaces: for random combinations and bounds, the run's copies of the
// draw base and of the results table give the same answer as walking the
// table through its data set and counting every (field, number) pair, also
// after results are appended during the run. The tables, written by
// python3-dbf, hold repeats, empty fields and numbers outside 0..127.
#include <random>

#include "app/main/generation_run.h"
#include "draw_fixture.h"
#include "platform/db/field.h"

namespace {

// The bounds check as a walk of the table: true at the first record whose
// count of equal (number field, number) pairs lies outside lower..upper.
bool Walk(TDataSet* table, const std::vector<int>& combination, int upper, int lower) {
  std::vector<int> record;
  for (table->First(); !table->Eof(); table->Next()) {
    record.clear();
    for (int f = 2; f < table->FieldCount(); ++f) record.push_back(table->Fields()[f]->AsInteger());
    int hits = 0;
    for (int v : record)
      for (int c : combination) hits += v == c;
    if (hits > upper || hits < lower) return true;
  }
  return false;
}

// `count` records of six numbers: mostly six of 1..49, every 7th with a
// repeat, every 11th with one or two empty fields, every 13th with a number
// of 0, 64..130 or below 0.
void WriteOddTable(const std::string& folder, const std::string& name, int count, int seed) {
  std::string fields = "YEAR N(9,0); DRAW N(9,0)";
  for (int i = 1; i <= 6; ++i) fields += "; P" + std::to_string(i) + " N(15,0)";
  const std::string script =
      "import dbf,random,sys\n"
      "g=random.Random(" +
      std::to_string(seed) +
      ")\n"
      "t=dbf.Table(sys.argv[1],'" +
      fields +
      "',dbf_type='db3')\n"
      "t.open(dbf.READ_WRITE)\n"
      "for i in range(" +
      std::to_string(count) +
      "):\n"
      "  n=g.sample(range(1,50),6)\n"
      "  if i%7==0: n[1]=n[0]\n"
      "  if i%11==0: n[g.randrange(6)]=None; n[5]=None\n"
      "  if i%13==0: n[g.randrange(6)]=g.choice([0,64,70,100,127,128,130,-3])\n"
      "  t.append(tuple([2000+i//100,i%100+1]+n))\n"
      "t.close()\n";
  apptest::WriteFile(folder + "make_" + name + ".py", script.c_str());
  vx::test::RunTool(std::string(apptest::kPython) + " " + folder + "make_" + name + ".py " + folder + name);
  ASSERT_TRUE(FileExists(folder + name));
}

class GenerationRunTest : public AppTest {};

}  // namespace

TEST_F(GenerationRunTest, CopiesInMemoryAnswerAsTheWalkOfTheTables) {
  Start();
  WriteOddTable(folder, "draws.dbf", 400, 5);
  WriteOddTable(folder, "results.dbf", 150, 6);
  FormMain->OpenTableAs(FormMain->TableMain, folder + "draws.dbf");
  FormMain->OpenTableAs(FormMain->TableRes, folder + "results.dbf");
  ASSERT_TRUE(FormMain->TableMain->Active() && FormMain->TableRes->Active());

  std::mt19937 random(38);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  // Mostly six distinct numbers of 1..49; now and then a repeat, a short
  // or long one, or a number outside the game.
  auto combination = [&] {
    std::vector<int> c;
    const int k = below(10) == 0 ? 1 + below(8) : 6;
    while (static_cast<int>(c.size()) < k) {
      const int v =
          below(12) == 0 ? std::vector<int>{0, 64, 100, 128, -3}[static_cast<std::size_t>(below(5))] : 1 + below(49);
      if (below(15) == 0 || std::find(c.begin(), c.end(), v) == c.end()) c.push_back(v);
    }
    return c;
  };
  int outside[2] = {0, 0};
  {
    vx::GenerationRun run(*FormMain);
    for (int i = 0; i < 1000; ++i) {
      const std::vector<int> c = combination();
      const int upper = 1 + below(5), lower = below(8) == 0 ? 1 : 0;
      const bool draws = Walk(FormMain->TableMain, c, upper, lower);
      ASSERT_EQ(run.Draws().Outside(c, upper, lower), draws) << i;
      const bool results = Walk(FormMain->TableRes, c, upper, lower);
      ASSERT_EQ(run.Results().Outside(c, upper, lower), results) << i;
      ++outside[draws];
      ++outside[results];
      // Now and then a result joins the table, as generation appends it (it
      // stays pending until the next walk); the first is short, so the
      // table holds it with five empty fields, the second too long for
      // the table.
      if (i % 50 == 0)
        FormMain->AppendResult(i, i == 0    ? std::vector<int>{7}
                                  : i == 50 ? std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}
                                            : c);
    }
    EXPECT_EQ(run.Results().Size(), 150u + 20u);
  }
  // Both answers came often enough to mean something.
  EXPECT_GT(outside[0], 200);
  EXPECT_GT(outside[1], 200);
  Stop();
}
