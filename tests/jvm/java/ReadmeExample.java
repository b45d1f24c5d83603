// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The README's Java example (keep the two the same): the demo checkpoint verified through the jar,
// then an inclusion proof refused.
import dev.quorvantile.log.CheckpointHead;
import dev.quorvantile.log.QuorvantileLog;
import dev.quorvantile.log.VerifyError;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.List;

public class ReadmeExample {
  public static void main(String[] args) throws Exception {
    Path dir = Path.of(args[0]);  // demo/data
    String note = Files.readString(dir.resolve("checkpoint.note"));
    List<String> keys = Arrays.asList(Files.readString(dir.resolve("checkpoint.vkeys")).trim().split("\n"));
    CheckpointHead head = QuorvantileLog.checkpointVerify(note, keys);
    System.out.println(head.getOrigin() + " size " + head.getSize() + " root " + head);
    try {
      QuorvantileLog.verifyInclusion(5, 5, new byte[32], List.of(), new byte[32]);
    } catch (VerifyError.Verification e) {
      System.out.println("refused (" + e.getKind() + "): " + e.getMessage());
    }
  }
}
