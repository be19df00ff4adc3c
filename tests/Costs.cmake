# The seconds the longest tests take on a quiet machine, as ctest's COST. ctest -j starts the
# tests in order of cost, and without a cost in the order they are listed, so on a fresh build
# (before ctest has timed a run of its own) a long test listed last would start last and stretch
# the whole run; with these, the long ones start first and the short ones fill in around them.
# After a run ctest goes by the times it measured instead. A name no test has any more is passed
# over: keep the table to the tests over about a second.
foreach(entry
    "Demo.PressesKeysInItsOwnWindowOnlyAndDrawsOnAServerOfItsOwn=3.8"
    "ProgramOnWayland.ClosingMidTransferAsksAndTheKeysOfEveryEndPutThePortBack=3.1"
    "StatusLine.SilenceHintsComeAndGoProgressShowsTimeLeftAndTheUpdateEndsIntact=2.4"
    "Cli.TimeoutBoundsTheWholeUpdateAndPutsThePortBack=2.1"
    "Program.EverySignalThatEndsItPutsThePortBackFirstAndStillEndsWithIt=2.0"
    "RealPort.StuckWriteGivesUpWhileTheWindowStaysLive=1.8"
    "Program.AnswersTheBannerAndWaitsForTheOperatorAndSearchesAtNoCost=1.5"
    "BenchRun.TheSearchTheBoundsAndTheSignalsEndTheWholeRun=1.4"
    "Cli.TwoPrivilegedUpdatersNeverShareAPort=1.4"
    "Cli.APortThatCanNeverBeAnAdapterIsRefusedAtOnce=1.4"
    "ProgramOnX.AScreenReaderHearsTheStatusLineOverAtSpi=1.4"
    "Replay.EveryKeptCaptureEndsAsItDidWhenCaptured=1.4"
    "Cli.EachOutcomeEndsWithItsOwnStatus=1.4"
    "Cli.APagingLoaderIsAnsweredOnWithoutFloodingTheTranscript=1.3"
    "Cli.OnATerminalTheTransferIsOneLineRedrawnInPlace=1.2"
    "Reader.WaitingForAReplyCostsUnderTwoPercentOfACore=1.1"
    "PortListing.EnumeratesOnlyWhenATtyCameOrWentAndOnceMoreWhenUdevHasSettled=1.1"
    "Bench.CheckReadsTheVersionAndErasesNothing=1.1"
    "Cli.GivesUpWaitingWithTheReason=1.0"
    "Bench.FourUnitsSideBySideOneHangsUpOneFailsTheEraseTheOthersAreUpdated=1.0"
    "RealPort.SigtermWithTheQueueHeldEndsTheProgramWithinASecond=1.0"
    "Faults.FullOutputQueueLosesNoByte=1.0")
  string(FIND "${entry}" "=" at REVERSE)
  string(SUBSTRING "${entry}" 0 ${at} name)
  math(EXPR after "${at} + 1")
  string(SUBSTRING "${entry}" ${after} -1 seconds)
  set_tests_properties("${name}" PROPERTIES COST ${seconds})
endforeach()
